#ifndef VARNEL_UI_KIT_DRIVE_LIST_H_
#define VARNEL_UI_KIT_DRIVE_LIST_H_

#include <QComboBox>
#include <QString>

namespace varnel {

class FolderTree;

// The drive list of a job window (`Drive1`): the mounted volumes that are ready and valid, pseudo file
// systems (proc, sysfs, tmpfs, ...) left out. The volumes are read again each time the list is opened, so a
// volume mounted since shows and an unmounted one goes.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The root of the chosen volume, with the system's separators ("C:\" or "/media/usb").
  QString Drive() const;
  // Lists one more volume by its root.
  void AddVolume(const QString& root, const QString& label);
  // Chooses, without raising DriveChanged, the listed volume that holds `path` (the one whose root is the
  // deepest above it), listing the volume of `path` first when none does; returns its root.
  QString ShowVolumeOf(const QString& path);
  // Reads the mounted volumes again. The chosen volume stays chosen while it is mounted; when it is not any
  // more, no volume is chosen.
  void Refresh();
  // Chooses again the volume that was chosen before the last change, without raising DriveChanged.
  void RestorePrevious();

  void showPopup() override;

 signals:
  // The user chose the volume whose root is `root`.
  void DriveChanged(const QString& root);

 private:
  // Chooses the item `index` without raising DriveChanged.
  void Show(int index);

  QString current_;   // the root chosen now
  QString previous_;  // the root chosen before the last change
};

// The reason `folder` cannot be read (for instance "Permission denied"); empty when it can.
QString FolderReadError(const QString& folder);

// Makes `folders` and `drives` follow each other: a volume chosen in `drives` has its root chosen in
// `folders`, and the volume of a folder chosen in `folders` is shown in `drives`. A volume that cannot be
// read shows "Cannot read <root>: <reason>" (exclamation icon), and both lists stay where they were.
void LinkDriveToFolder(DriveList* drives, FolderTree* folders);

}  // namespace varnel

#endif  // VARNEL_UI_KIT_DRIVE_LIST_H_
