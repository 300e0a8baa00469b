#include "app/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>
#include <cstdlib>

#include "app/GuiCommon.h"
#include "app/Placement.h"
#include "app/PrinterSetupDialog.h"

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

// The window the box belongs to: whichever window of the program is active.
QWidget* OwnerWindow() {
    return QApplication::activeWindow();
}

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
    QString shown = FromBytes(text);
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

kav::Answer QtPrompts::Message(kav::MsgKind kind, kav::MsgButtons buttons,
                               const std::string& text) {
    QMessageBox box(IconOf(kind), QApplication::applicationDisplayName(), MessageText(text),
                    ButtonsOf(buttons), OwnerWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    // Texts such as "<<< ... >>>" are the program's own words, never markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == kav::MsgButtons::YesNo)
        box.setDefaultButton(QMessageBox::Yes);
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
    ProgramFileDialog dialog(OwnerWindow(), QString::fromStdString(request.title), lastDirectory_);
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
    // A name saved without an extension gets the dialog's own, so that the
    // link file's name, derived from the node file's, stays beside it.
    if (forSaving)
        dialog.setDefaultSuffix(DefaultSuffix(request));
    if (!request.fileName.empty())
        dialog.selectFile(QFile::decodeName(request.fileName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    lastDirectory_ = QFileInfo(chosen).absolutePath();
    const QByteArray name = QFile::encodeName(chosen);
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void QtPrompts::Fatal(kav::MsgKind kind, const std::string& text) {
    Message(kind, kav::MsgButtons::Ok, text);
    std::_Exit(EXIT_FAILURE);
}

kav::Answer QtPrompts::QuestionDefaultNo(kav::MsgKind kind, const std::string& text) {
    QMessageBox box(IconOf(kind), QApplication::applicationDisplayName(), MessageText(text),
                    QMessageBox::Yes | QMessageBox::No, OwnerWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return AnswerOf(box.exec());
}

bool QtPrompts::PrinterSetup(kav::PrinterSetupChoice& choice) {
    PrinterSetupDialog dialog(choice, OwnerWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}
