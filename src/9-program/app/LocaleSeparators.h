#pragma once

#include <QLocale>
#include <QString>

#include "workspace/NumberFormat.h"

// Number texts take the decimal and thousands separators of locale, each as a
// whole character in UTF-8 (French groups thousands with a narrow no-break
// space, three bytes). A locale that names none keeps the usual ones.
inline void UseLocaleSeparators(const QLocale& locale = QLocale()) {
    QString decimal = locale.decimalPoint();
    if (decimal.isEmpty())
        decimal = QStringLiteral(".");
    QString thousands = locale.groupSeparator();
    if (thousands.isEmpty() || thousands == decimal)
        thousands = decimal == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");
    kav::SetLocaleSeparators(thousands.toStdString(), decimal.toStdString());
}
