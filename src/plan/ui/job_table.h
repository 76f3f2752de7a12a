#pragma once
// The Year Plan window's rows of unattended jobs: every installed plan and the plan open
// in the window, one row each (name, port, what its timer holds, job on or off, last and
// next run, the plan's next change), and a line when systemd cannot be asked.
#include <QWidget>
#include <memory>
#include <vector>

#include "plan/job_rows.h"

class QLabel;
class QTableWidget;

namespace Ui {
class JobTable;
}

namespace zmr {

class JobTable : public QWidget {
 public:
  explicit JobTable(QWidget* parent = nullptr);
  ~JobTable() override;

  // Shows the rows; systemd_runs false says that what systemd knows is not known here.
  void showRows(const std::vector<JobRow>& rows, bool systemd_runs);

  QTableWidget& table();
  QLabel& note();

 private:
  std::unique_ptr<Ui::JobTable> ui_;
};

}  // namespace zmr
