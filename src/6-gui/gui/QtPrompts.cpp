#include "gui/QtPrompts.h"

#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTreeView>
#include <cstdlib>

#include "gui/AnchorWindow.h"
#include "gui/Placement.h"
#include "gui/PrinterSetupDialog.h"
#include "gui/ProgramSettings.h"

namespace {

QMessageBox::Icon IconOf(kav::MsgKind kind) {
    switch (kind) {
        case kav::MsgKind::Warning:
            return QMessageBox::Warning;
        case kav::MsgKind::Error:
            return QMessageBox::Critical;
        case kav::MsgKind::Information:
            return QMessageBox::Information;
        case kav::MsgKind::Confirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(kav::MsgButtons buttons) {
    return buttons == kav::MsgButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No)
                                             : QMessageBox::StandardButtons(QMessageBox::Ok);
}

kav::Answer AnswerOf(int result) {
    switch (result) {
        case QMessageBox::Ok:
            return kav::Answer::Ok;
        case QMessageBox::Yes:
            return kav::Answer::Yes;
        case QMessageBox::No:
            return kav::Answer::No;
        default:
            return kav::Answer::Closed;
    }
}

// A window of the program itself, as opposed to a box, dialog, menu or tip.
bool IsProgramWindow(const QWidget* widget) {
    return widget && widget->isWindow() && widget->windowType() == Qt::Window;
}

// Remembers the order in which the program's windows were last shown or made
// active, so that the window in front is known even in the moment after a box
// has closed, when the window system has not yet made any window active again.
class FrontWindows : public QObject {
  public:
    static FrontWindows& Instance() {
        static auto* instance = new FrontWindows(qApp);
        return *instance;
    }

    // The most recent of those windows still on screen, or nullptr.
    QWidget* Front() const {
        for (auto it = order_.crbegin(); it != order_.crend(); ++it) {
            if (*it && (*it)->isVisible())
                return *it;
        }
        return nullptr;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::WindowActivate) && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (IsProgramWindow(widget))
                ToFront(widget);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    explicit FrontWindows(QObject* parent) : QObject(parent) {
        if (qApp)
            qApp->installEventFilter(this);
    }

    void ToFront(QWidget* window) {
        order_.removeAll(QPointer<QWidget>(window));
        order_.removeAll(QPointer<QWidget>());
        order_.append(window);
    }

    QList<QPointer<QWidget>> order_;
};

}  // namespace

QWidget* PromptOwner() {
    // A box asked for while another is up stacks above that one.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible())
        return modal;
    if (QWidget* active = QApplication::activeWindow();
        IsProgramWindow(active) && active->isVisible())
        return active;
    if (QWidget* front = FrontWindows::Instance().Front())
        return front;
    // Nothing of the program is on screen: the main menu, hidden or not.
    return AnchorWindow();
}

namespace {

bool HasWildcards(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// A file dialog in which a name with wildcards ("*.LIN", the save dialog's
// starting text) lists the matching files instead of being taken as a name.
class ProgramFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList chosen = selectedFiles();
        const QFileInfo typed(chosen.isEmpty() ? QString() : chosen.constFirst());
        if (!HasWildcards(typed.fileName())) {
            QFileDialog::accept();
            return;
        }
        setDirectory(typed.absolutePath());
        FilterBy(typed.fileName());
        selectFile(typed.fileName());
    }

  private:
    // Chooses the filter that has this pattern, or adds the pattern as one.
    void FilterBy(const QString& pattern) {
        QStringList filters = nameFilters();
        for (const QString& filter : filters) {
            if (filter.endsWith(QStringLiteral("(%1)").arg(pattern)) || filter == pattern) {
                selectNameFilter(filter);
                return;
            }
        }
        filters.prepend(pattern);
        setNameFilters(filters);
        selectNameFilter(pattern);
    }
};

// The detail view's Size, Type and Date columns take the width of their
// contents; the name column gets the rest of the dialog's width.
void FitDetailColumns(QFileDialog& dialog) {
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        if (header->count() > 0)
            header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

}  // namespace

QString MessageText(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString DefaultSuffix(const kav::FileDialogRequest& dialog) {
    if (dialog.filters.empty())
        return {};
    const QString pattern = QString::fromStdString(dialog.filters.front().second);
    const QString suffix = pattern.mid(2);
    if (!pattern.startsWith(QStringLiteral("*.")) || suffix.isEmpty() || HasWildcards(suffix))
        return {};
    return suffix;
}

QStringList FileFilters(const kav::FileDialogRequest& dialog) {
    QStringList filters;
    for (const auto& [description, pattern] : dialog.filters) {
        filters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(description),
                                                 QString::fromStdString(pattern));
    }
    return filters;
}

namespace {

bool IsProblemFile(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QLatin1String("nde") || suffix == QLatin1String("min");
}

// The folders of the problems used last, in the dialog's own history (its
// "Look in" list, the latest first) and side panel.
void OfferRecentProblems(QFileDialog& dialog) {
    QStringList folders;
    for (const QString& file : RecentProblems()) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    if (folders.isEmpty())
        return;
    dialog.setHistory(folders);
    QList<QUrl> places = dialog.sidebarUrls();
    for (const QString& folder : folders) {
        if (!places.contains(QUrl::fromLocalFile(folder)))
            places.append(QUrl::fromLocalFile(folder));
    }
    dialog.setSidebarUrls(places);
}

// Down in the empty file name box lists the problems used last, the latest
// first; the one chosen fills the box with its whole path.
class RecentProblemList : public QObject {
  public:
    RecentProblemList(QLineEdit* edit, const QStringList& files)
        : QObject(edit), edit_(edit), list_(new QCompleter(files, this)) {
        list_->setWidget(edit);
        list_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        list_->popup()->setObjectName(QStringLiteral("RecentProblems"));
        list_->popup()->setAccessibleName(QStringLiteral("Recent problems"));
        QObject::connect(list_, qOverload<const QString&>(&QCompleter::activated), edit,
                         &QLineEdit::setText);
        QObject::connect(edit, &QLineEdit::textEdited, list_->popup(), &QWidget::hide);
        edit->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && edit_->text().isEmpty() &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
            list_->complete();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QLineEdit* edit_;
    QCompleter* list_;
};

// A dialog for a node file (not for a link file, a picture, ...).
bool AsksForProblem(const kav::FileDialogRequest& request) {
    for (const auto& filter : request.filters) {
        if (IsProblemFile(QString::fromStdString(filter.second)))
            return true;
    }
    return false;
}

// The problems themselves in the Load dialog's file name box.
void ListRecentProblems(QFileDialog& dialog) {
    const QStringList files = RecentProblems();
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (files.isEmpty() || edit == nullptr)
        return;
    new RecentProblemList(edit, files);
    edit->setPlaceholderText(QStringLiteral("Down: recent problems"));
}

}  // namespace

QtPrompts::QtPrompts() : lastDirectory_(LastFolder()) {
    FrontWindows::Instance();
}

kav::Answer QtPrompts::Message(kav::MsgKind kind, kav::MsgButtons buttons,
                               const std::string& text) {
    QMessageBox box(IconOf(kind), QApplication::applicationDisplayName(), MessageText(text),
                    ButtonsOf(buttons), PromptOwner());
    box.setObjectName(QStringLiteral("MessageBox"));
    // Texts such as "<<< ... >>>" are the program's own words, never markup.
    box.setTextFormat(Qt::PlainText);
    // Every question guards against losing something (unsaved data, a file,
    // the session): Enter alone must not say yes.
    if (buttons == kav::MsgButtons::YesNo)
        box.setDefaultButton(QMessageBox::No);
    return AnswerOf(box.exec());
}

void QtPrompts::Beep(unsigned) {
    QApplication::beep();
}

std::optional<std::string> QtPrompts::OpenFile(const kav::FileDialogRequest& dialog) {
    return RunFileDialog(dialog, false);
}

std::optional<std::string> QtPrompts::SaveFile(const kav::FileDialogRequest& dialog) {
    return RunFileDialog(dialog, true);
}

std::optional<std::string> QtPrompts::RunFileDialog(const kav::FileDialogRequest& request,
                                                    bool forSaving) {
    ProgramFileDialog dialog(PromptOwner(), QString::fromStdString(request.title), lastDirectory_);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The load and save operations test for existing files and ask themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setNameFilters(FileFilters(request));
    // Wide enough for the size, type and date columns next to the names.
    dialog.resize(FitOnScreen(dialog.sizeHint().expandedTo(QSize(760, 480))));
    FitDetailColumns(dialog);
    OfferRecentProblems(dialog);
    if (!forSaving && AsksForProblem(request))
        ListRecentProblems(dialog);
    // A name saved without an extension gets the dialog's own, so that the
    // link file's name, derived from the node file's, stays beside it.
    // The suffix follows the chosen file type, so that a name typed without
    // one under the DIMACS type is saved as a DIMACS file.
    if (forSaving) {
        dialog.setDefaultSuffix(DefaultSuffix(request));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &request](const QString& filter) {
                             for (const auto& [description, pattern] : request.filters) {
                                 kav::FileDialogRequest chosen{{}, {{description, pattern}}, {}};
                                 if (FileFilters(chosen).constFirst() == filter)
                                     dialog.setDefaultSuffix(DefaultSuffix(chosen));
                             }
                         });
    }
    if (!request.fileName.empty())
        dialog.selectFile(QFile::decodeName(request.fileName.c_str()));
    QString chosen;
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        chosen = dialog.selectedFiles().constFirst();
        // A name whose bytes are not in the system's encoding reaches the
        // dialog with stand-in characters and would name another file.
        if (!chosen.contains(QChar::ReplacementCharacter))
            break;
        Message(kav::MsgKind::Error, kav::MsgButtons::Ok,
                "File [" + chosen.toStdString() +
                    "] has a name the program cannot represent... Rename it or choose another.");
    }
    lastDirectory_ = QFileInfo(chosen).absolutePath();
    RememberFolder(lastDirectory_);
    if (IsProblemFile(chosen))
        RememberProblem(chosen);
    const QStringList filters = FileFilters(request);
    const qsizetype filter = filters.indexOf(dialog.selectedNameFilter());
    chosenFilter_ = filter >= 0 ? request.filters[static_cast<std::size_t>(filter)].first : "";
    const QByteArray name = QFile::encodeName(chosen);
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void QtPrompts::Fatal(kav::MsgKind kind, const std::string& text) {
    Message(kind, kav::MsgButtons::Ok, text);
    std::_Exit(EXIT_FAILURE);
}

bool QtPrompts::PrinterSetup(kav::PrinterSetupChoice& choice, const kav::PagePreview& preview) {
    PrinterSetupDialog dialog(choice, PromptOwner(), preview);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}
