#include "gui/GuiCommon.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPalette>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include "workspace/ProblemWriter.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

QFont FixedPitchFont(int pointSize, bool bold) {
    QFont font(QStringLiteral("Courier"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    // A font substituted for a missing Courier need not be fixed-pitch; the
    // system's fixed font is.
    if (!QFontDatabase::hasFamily(font.family()) || !QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(pointSize);
    }
    font.setBold(bold);
    return font;
}

void PaintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void PaintText(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QString FromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString ShownFileName(const std::string& fileName) {
    return QDir::toNativeSeparators(QFile::decodeName(fileName.c_str()));
}

kav::FileToWrite WindowFileToWrite(const std::vector<std::string>& protectedFiles,
                                   const kav::FileDialogRequest& dialog) {
    kav::FileToWrite request;
    request.dialog = [dialog] { return dialog; };
    request.protectedFiles = protectedFiles;
    request.shown = [](const std::string& fileName) {
        return ShownFileName(fileName).toUtf8().toStdString();
    };
    return request;
}

bool MayWriteFile(kav::Prompts& prompts, const std::vector<std::string>& protectedFiles,
                  const std::string& fileName) {
    kav::FileQuestionsThrough questions(prompts);
    return kav::MayWriteFile(questions, fileName, WindowFileToWrite(protectedFiles, {}));
}

QPushButton* NewButton(const QString& caption, const QString& hint, const QString& name,
                       QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    return button;
}

std::string ToBytes(const QString& text) {
    const QByteArray latin1 = text.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

void ShowAndPaintNow(QWidget* window) {
    constexpr int MaxWaitForScreenMs = 1000;
    window->show();
    window->raise();
    QElapsedTimer waited;
    waited.start();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (!IsOnScreen(window) && waited.elapsed() < MaxWaitForScreenMs) {
        QThread::msleep(2);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    window->repaint();
}

bool IsOnScreen(const QWidget* window) {
    return window->isVisible() && window->windowHandle() && window->windowHandle()->isExposed();
}

void RefuseWindowSystemClose(QCloseEvent* event, kav::Prompts& prompts) {
    if (!event->spontaneous())
        return;
    event->ignore();
    prompts.Beep(kav::BeepDefault);
}

QString Unbroken(QString text) {
    return text.replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
}

QString LegendSwatch(const QColor& colour, const QString& text) {
    return QStringLiteral(
               "<span style='background-color:%1'>&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;%2")
        .arg(colour.name(), Unbroken(text));
}

void RemoveTitleBarButtons(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

namespace {

// Reports every line as wide as the longest one. The longest is found again
// after each change of the lines, the first time the view asks for a size.
class LongestLineDelegate : public QStyledItemDelegate {
  public:
    explicit LongestLineDelegate(QAbstractItemView* list) : QStyledItemDelegate(list), list_(list) {
        const QAbstractItemModel* model = list->model();
        const auto forget = [this] { longestRow_ = -1; };
        connect(model, &QAbstractItemModel::rowsInserted, this, forget);
        connect(model, &QAbstractItemModel::rowsRemoved, this, forget);
        connect(model, &QAbstractItemModel::modelReset, this, forget);
        connect(model, &QAbstractItemModel::dataChanged, this, forget);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QAbstractItemModel* model = list_->model();
        if (longestRow_ < 0 || longestRow_ >= model->rowCount())
            longestRow_ = LongestRow(model, index.column());
        const QModelIndex longest = model->index(longestRow_, index.column());
        if (longest.isValid() && longest != index)
            size.setWidth(
                std::max(size.width(), QStyledItemDelegate::sizeHint(option, longest).width()));
        return size;
    }

  private:
    // The lines are fixed-pitch: the one with the most characters is the widest.
    static int LongestRow(const QAbstractItemModel* model, int column) {
        int longestRow = 0;
        qsizetype longestLength = -1;
        for (int row = 0; row < model->rowCount(); ++row) {
            const qsizetype length = model->index(row, column).data().toString().size();
            if (length > longestLength) {
                longestLength = length;
                longestRow = row;
            }
        }
        return longestRow;
    }

    const QAbstractItemView* list_;
    mutable int longestRow_ = -1;
};

}  // namespace

void SizeLinesByLongest(QAbstractItemView* list) {
    list->setItemDelegate(new LongestLineDelegate(list));
}
