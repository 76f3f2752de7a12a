#include "plan/plan_file_stamp.h"

#include <QCryptographicHash>

#include "base/errors.h"
#include "base/file_io.h"
#include "plan/plan_files.h"

namespace zmr {
namespace {

// Beyond the plan reader's own limit: a file this long is refused whatever it holds.
constexpr std::size_t kMaxStampedBytes = 1024 * 1024 + 1;

}  // namespace

QByteArray PlanFileStamp(const QString& path) {
  try {
    const std::vector<std::uint8_t> bytes = ReadFileStart(path, kMaxStampedBytes);
    return QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
        QCryptographicHash::Sha256);
  } catch (const IoError&) {
    return {};
  }
}

QByteArray PlanWeeksStamp(const YearPlan& plan) {
  QCryptographicHash all(QCryptographicHash::Sha256);
  for (const PlanFile& file : PlanFiles(plan)) {
    if (file.kind != PlanFile::Kind::Week) continue;
    all.addData(file.named.toUtf8());
    all.addData(PlanFileStamp(plan.resolve(file.named)));
  }
  return all.result();
}

}  // namespace zmr
