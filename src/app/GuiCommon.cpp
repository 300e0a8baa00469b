#include "app/GuiCommon.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPalette>
#include <QWidget>

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

std::string ToBytes(const QString& text) {
    const QByteArray latin1 = text.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

void RefuseWindowSystemClose(QCloseEvent* event) {
    if (event->spontaneous())
        event->ignore();
}

void RemoveTitleBarButtons(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}
