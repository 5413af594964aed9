#ifndef VARNEL_UI_KIT_FORM_SHELL_H_
#define VARNEL_UI_KIT_FORM_SHELL_H_

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

namespace varnel {

// The program's five windows: the menu, the three job windows and the History window.
enum class FormId { kMainForm = 0, kForm1 = 1, kForm2 = 2, kForm3 = 3, kHistoryForm = 4 };
inline constexpr int kFormCount = 5;

// Owns the five windows. A window is created ("loaded", still hidden) the first time anything touches it
// through Form(); a job window that destroys itself (its close box) is created afresh the next time. The
// windows' own factories are registered by whoever assembles the program, so no window includes another.
class FormShell : public QObject {
  Q_OBJECT

 public:
  using Factory = std::function<QWidget*()>;

  FormShell();
  ~FormShell() override;  // destroys every loaded window without running its handlers

  // Registers how the window `id` is created.
  void SetFactory(FormId id, Factory factory);
  // What ShowMenu() does while no menu is registered; by default the program ends.
  void SetNoMenuAction(std::function<void()> action) { no_menu_action_ = std::move(action); }
  // Runs each time a window has been created, once its factory returned: a job window loaded again after its
  // close box gets what the others have (the language) here.
  void SetLoadHandler(std::function<void(FormId, QWidget*)> handler) { load_handler_ = std::move(handler); }

  // The `LanguageId` applied last (1 French, 2 English); 0 before any.
  int16_t language() const { return language_; }
  void SetLanguage(int16_t LanguageId) { language_ = LanguageId; }

  // The window `id`, created (hidden) when it is not loaded; nullptr when no factory is registered.
  QWidget* Form(FormId id);
  // Takes `form` as the loaded window `id` while its factory is still building it, so that the window's own
  // load handler can already reach it through Form().
  void Adopt(FormId id, QWidget* form) { forms_[Index(id)] = form; }
  // True when the window `id` exists.
  bool IsLoaded(FormId id) const { return !forms_[Index(id)].isNull(); }
  // Loads the window when needed and shows it, not modal.
  void Show(FormId id);

  // The folder of the job a loaded job window runs; empty while none runs.
  QString RunningJobFolder() const;
  // Ends the program without asking anything, a running job included (it is stopped, its archiver first).
  void EndProgram();
  // True once EndProgram() was called.
  bool ending() const { return ending_; }

 public slots:
  // Shows the main menu; a job window's MenuRequested() lands here.
  void ShowMenu();

 private:
  static int Index(FormId id) { return static_cast<int>(id); }

  std::array<Factory, kFormCount> factories_;
  std::array<QPointer<QWidget>, kFormCount> forms_;
  std::function<void()> no_menu_action_;
  std::function<void(FormId, QWidget*)> load_handler_;
  int16_t language_ = 0;
  bool ending_ = false;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_FORM_SHELL_H_
