#pragma once

#include <QApplication>

namespace kav {
class Prompts;
}  // namespace kav

// The program's application object. An exception that escapes an event
// handler without being caught there is shown in the standard error report,
// and the program goes on with the next event.
class KavrilonApplication : public QApplication {
  public:
    KavrilonApplication(int& argc, char** argv);

    // Where the standard error report is shown (the session's prompts); until
    // it is set, such an error is written to standard error.
    void SetErrorPrompts(kav::Prompts* prompts) { errorPrompts_ = prompts; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    kav::Prompts* errorPrompts_ = nullptr;
};
