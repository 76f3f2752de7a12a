#include "plan/ui/job_table.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "plan/ui/table_rows.h"
#include "ui_job_table.h"

namespace zmr {
namespace {

// Rows shown before the table scrolls: three buildings at a glance.
constexpr int kRowsInSight = 3;

}  // namespace

JobTable::JobTable(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::JobTable>()) {
  ui_->setupUi(this);
  QStringList headers{QStringLiteral("plan")};
  headers << kJobColumns;
  ui_->jobrows->setColumnCount(static_cast<int>(headers.size()));
  ui_->jobrows->setHorizontalHeaderLabels(headers);
  ui_->jobrows->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  ui_->jobrows->horizontalHeader()->setStretchLastSection(true);
  ui_->jobrows->verticalHeader()->hide();
  ui_->jobrows->setMinimumHeight(HeightForRows(*ui_->jobrows, kRowsInSight));
  ui_->jobsnote->hide();
}

JobTable::~JobTable() = default;

QTableWidget& JobTable::table() { return *ui_->jobrows; }
QLabel& JobTable::note() { return *ui_->jobsnote; }

void JobTable::showRows(const std::vector<JobRow>& rows, bool systemd_runs) {
  QTableWidget& t = *ui_->jobrows;
  t.setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const JobRow& row = rows[static_cast<std::size_t>(r)];
    const QString name = row.open ? QStringLiteral("%1 (open here)").arg(row.name) : row.name;
    const QStringList cells{name, row.port, row.holds, row.job, row.last_run, row.next_run,
                            row.faults.isEmpty() ? row.next_change : row.faults.join(u'\n')};
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setToolTip(c == 0 ? row.plan : cells[c]);  // a long by-id name is read whole here
      t.setItem(r, c, item);
    }
  }
  QStringList notes;
  if (!systemd_runs) {
    notes << QStringLiteral("systemd does not run on this PC: whether each job is on, and when it runs next, "
                            "cannot be known here.");
  }
  if (rows.empty()) notes << QStringLiteral("No plans are installed for the unattended job.");
  ui_->jobsnote->setText(notes.join(u'\n'));
  ui_->jobsnote->setVisible(!notes.isEmpty());
}

}  // namespace zmr
