#include "gui/ProgramSettings.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>

#include "gui/Placement.h"

namespace {

QSettings Stored() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("kavrilon"),
                     QStringLiteral("kavrilon"));
}

const QString FolderKey = QStringLiteral("files/lastFolder");
const QString RecentKey = QStringLiteral("files/recentProblems");

QString SizeKey(const QWidget* window) {
    return QStringLiteral("windows/%1/size").arg(window->objectName());
}

class SizeKeeper : public QObject {
  public:
    explicit SizeKeeper(QWidget* window) : QObject(window) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !event->spontaneous()) {
            auto* window = static_cast<QWidget*>(watched);
            Stored().setValue(SizeKey(window), window->size());
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

QString LastFolder() {
    const QString folder = Stored().value(FolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberFolder(const QString& folder) {
    Stored().setValue(FolderKey, folder);
}

QStringList RecentProblems() {
    QStringList recent;
    for (const QString& file : Stored().value(RecentKey).toStringList()) {
        if (QFileInfo(file).isFile() && !recent.contains(file) && recent.size() < RecentLimit)
            recent.append(file);
    }
    return recent;
}

void RememberProblem(const QString& file) {
    QStringList recent = RecentProblems();
    const QString absolute = QFileInfo(file).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    Stored().setValue(RecentKey, recent.mid(0, RecentLimit));
}

void RememberSize(QWidget* window) {
    const QSize stored = Stored().value(SizeKey(window)).toSize();
    if (stored.isValid() && !stored.isEmpty())
        window->resize(FitOnScreen(stored.expandedTo(window->minimumSize())));
    new SizeKeeper(window);
}
