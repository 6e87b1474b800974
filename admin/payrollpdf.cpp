#include "admin/payrollpdf.h"

#include "admin/reports.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QPdfWriter>
#include <QTextDocument>

namespace pelmar::admin {

QPageSize defaultPaper(const QLocale& locale)
{
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::PuertoRico:
        return QPageSize(QPageSize::Letter);
    default:
        return QPageSize(QPageSize::A4);
    }
}

QByteArray payrollPdf(const Payroll& payroll, const QString& range, const QPageSize& paper)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The writer ends the file when it goes.
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QCoreApplication::translate("pelmar::admin", "Payroll %1").arg(range));
        pdf.setCreator(QCoreApplication::applicationName());
        pdf.setPageLayout(
            QPageLayout(paper, QPageLayout::Portrait, QMarginsF(42, 42, 42, 42), QPageLayout::Point));

        // Sizes are in points; the layout runs at the writer's own resolution,
        // on its page, so that text keeps its size on paper and no glyph advance
        // is rounded to a whole point.
        QTextDocument document;
        document.documentLayout()->setPaintDevice(&pdf);
        QFont font = document.defaultFont();
        font.setPointSizeF(10);
        document.setDefaultFont(font);
        document.setDocumentMargin(0);
        document.setHtml(payrollHtml(payroll, range));
        document.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
        document.print(&pdf);
    }
    return bytes;
}

} // namespace pelmar::admin
