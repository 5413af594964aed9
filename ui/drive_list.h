#ifndef VARNEL_UI_DRIVE_LIST_H_
#define VARNEL_UI_DRIVE_LIST_H_

#include <QComboBox>
#include <QString>

namespace varnel {

class FolderTree;

// The drive list of a job window (`Drive1`): the mounted volumes that are ready and valid, pseudo file
// systems (proc, sysfs, tmpfs, ...) left out.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The root of the chosen volume, with the system's separators ("C:\" or "/media/usb").
  QString Drive() const;
  // Chooses the volume that holds `path`, listing it first when it was left out.
  void SetDriveOf(const QString& path);
  // Lists one more volume by its root.
  void AddVolume(const QString& root, const QString& label);
  // Chooses again the volume that was chosen before the last change, without raising DriveChanged.
  void RestorePrevious();

 signals:
  // The user (or SetDriveOf) chose the volume whose root is `root`.
  void DriveChanged(const QString& root);

 private:
  int current_ = -1;
  int previous_ = -1;
};

// The reason `folder` cannot be read (for instance "Permission denied"); empty when it can.
QString FolderReadError(const QString& folder);

// Makes `folders` follow `drives`: a new volume shows its tree. A volume that cannot be read shows
// "Cannot read <root>: <reason>" (exclamation icon), and both lists stay where they were.
void LinkDriveToFolder(DriveList* drives, FolderTree* folders);

}  // namespace varnel

#endif  // VARNEL_UI_DRIVE_LIST_H_
