#pragma once

#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QString>

namespace pelmar::admin {

struct Payroll;

// The paper a report is printed on when nobody chose one: Letter where it is
// the custom (the United States, Canada, Mexico, the Philippines and a few
// more), A4 elsewhere.
QPageSize defaultPaper(const QLocale& locale = QLocale::system());

// The payroll as a PDF of pages of the given paper, its body text in
// 10-point type: payrollHtml laid out on the page. Needs no window, so it
// may be laid out off the window's thread, but needs the application's
// fonts (a QGuiApplication).
QByteArray payrollPdf(const Payroll& payroll, const QString& range, const QPageSize& paper);

} // namespace pelmar::admin
