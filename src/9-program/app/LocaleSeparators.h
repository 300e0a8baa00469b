#pragma once

#include <QLocale>
#include <QString>

#include "workspace/NumberFormat.h"

// The decimal and thousands separators of locale for number texts, each as a
// whole character in UTF-8 (French groups thousands with a narrow no-break
// space, three bytes). A locale that names none keeps the usual ones.
inline kav::NumberSeparators LocaleSeparators(const QLocale& locale = QLocale()) {
    QString decimal = locale.decimalPoint();
    if (decimal.isEmpty())
        decimal = QStringLiteral(".");
    QString thousands = locale.groupSeparator();
    if (thousands.isEmpty() || thousands == decimal)
        thousands = decimal == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");
    return {thousands.toStdString(), decimal.toStdString()};
}
