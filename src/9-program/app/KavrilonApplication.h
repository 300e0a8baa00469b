#pragma once

#include <QApplication>

// The program's application object. An exception that escapes an event
// handler without being caught there is shown in the standard error report,
// and the program goes on with the next event.
class KavrilonApplication : public QApplication {
  public:
    KavrilonApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
