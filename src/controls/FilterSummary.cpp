#include "controls/FilterSummary.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace controls {

QString searchTypeText(data::FilterMatchType type) {
    switch (type) {
    case data::FilterMatchType::Exact:
        return QStringLiteral("Exact Match");
    case data::FilterMatchType::Start:
        return QStringLiteral("Partial Match at Beginning");
    case data::FilterMatchType::Anywhere:
        return QStringLiteral("Partial Match Anywhere");
    case data::FilterMatchType::Range:
        break;
    }
    return QStringLiteral("By Range");
}

QString searchValueText(const data::FilterCriterion& criterion) {
    if (criterion.matchType != data::FilterMatchType::Range)
        return QString::fromStdString(criterion.value);
    QStringList bounds;
    if (!criterion.start.empty()) bounds << ">= " + QString::fromStdString(criterion.start);
    if (!criterion.end.empty()) bounds << "<= " + QString::fromStdString(criterion.end);
    return bounds.join(QStringLiteral(", "));
}

void showFilterSummary(QWidget* parent, const std::vector<data::FilterCriterion>& criteria) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("SearchSummary"));
    window.setWindowTitle(QStringLiteral("Show Search Summary"));
    auto* grid = new QTableWidget(static_cast<int>(criteria.size()), 3, &window);
    grid->setObjectName(QStringLiteral("SummaryGrid"));
    grid->setHorizontalHeaderLabels(
        {QStringLiteral("Field"), QStringLiteral("Search Type"), QStringLiteral("Value")});
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < static_cast<int>(criteria.size()); ++row) {
        const data::FilterCriterion& criterion = criteria[static_cast<std::size_t>(row)];
        grid->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(criterion.fieldLabel)));
        grid->setItem(row, 1, new QTableWidgetItem(searchTypeText(criterion.matchType)));
        grid->setItem(row, 2, new QTableWidgetItem(searchValueText(criterion)));
    }
    grid->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &window);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(grid);
    layout->addWidget(buttons);
    window.resize(460, 200);
    window.exec();
}

} // namespace controls
