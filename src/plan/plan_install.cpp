#include "plan/plan_install.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <set>

#include "base/errors.h"
#include "base/file_io.h"
#include "link/network_address.h"
#include "link/stand_alone_port.h"
#include "link/tls_files.h"
#include "plan/calendar_reader.h"
#include "plan/plan_files.h"
#include "plan/plan_reader.h"
#include "plan/upkeep_job.h"

namespace zmr {
namespace {

constexpr unsigned kReadableFile = 0644;
constexpr unsigned kOpenFolder = 0755;
constexpr unsigned kGroupReadable = 0640;
constexpr unsigned kOwnerOnly = 0600;
// No file a plan may name is larger than a calendar may be; a TLS file is far smaller.
constexpr std::size_t kMaxCopiedBytes = kMaxCalendarBytes;
constexpr std::size_t kMaxTlsFileBytes = 1024 * 1024;
// The copies' folders in NAME/ are numbered 1, 2, 3 ...; nothing else there is ever removed.
bool IsCopyNumber(const QString& entry) {
  static const QRegularExpression number(QStringLiteral("^[1-9][0-9]{0,8}\\z"));
  return number.match(entry).hasMatch();
}

// The next copy's folder: one number above every copy there, made by this call alone.
QString NewCopyFolder(const QString& copies) {
  int next = 1;
  for (const QString& entry : QDir(copies).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (IsCopyNumber(entry)) next = std::max(next, entry.toInt() + 1);
  }
  for (;; ++next) {
    const QString folder = copies + u'/' + QString::number(next);
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), kOpenFolder) == 0) {
      if (::chmod(native.constData(), kOpenFolder) != 0) throw IoError::fromErrno(errno);
      return folder;
    }
    if (errno != EEXIST) throw IoError::fromErrno(errno);
  }
}

QString Under(const QString& root, const QString& absolute) {
  return root.isEmpty() ? absolute : QDir::cleanPath(QDir(root).absolutePath() + absolute);
}

std::vector<std::uint8_t> Bytes(const QByteArray& text) { return {text.begin(), text.end()}; }

// mkdir -p whose new folders anyone may search, whatever the umask. Throws IoError.
void MakeFolders(const QString& folder) {
  const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
  QString path;
  for (const QString& part : clean.split(u'/', Qt::SkipEmptyParts)) {
    path += u'/' + part;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), kOpenFolder) == 0) {
      if (::chmod(native.constData(), kOpenFolder) != 0) throw IoError::fromErrno(errno);
    } else if (errno != EEXIST) {
      throw IoError::fromErrno(errno);
    } else if (!QFileInfo(path).isDir()) {
      throw IoError::fromErrno(ENOTDIR);
    }
  }
}

// The first folder on the way down to `folder` (below `stop`) that others may not
// search: the job's user could not reach the plan through it.
QString ClosedFolderOnTheWay(const QString& folder, const QString& stop) {
  QString closed;
  for (QString f = QDir::cleanPath(folder); f != stop && f != QStringLiteral("/"); f = QFileInfo(f).path()) {
    struct stat st {};
    if (::stat(QFile::encodeName(f).constData(), &st) == 0 && (st.st_mode & S_IXOTH) == 0) closed = f;
  }
  return closed;
}

// A new copy's folder, removed again unless the installed plan came to use it.
class NewCopy {
 public:
  explicit NewCopy(QString folder) : folder_(std::move(folder)) {}
  ~NewCopy() {
    if (!kept_) QDir(folder_).removeRecursively();
  }
  NewCopy(const NewCopy&) = delete;
  NewCopy& operator=(const NewCopy&) = delete;
  const QString& folder() const { return folder_; }
  void keep() { kept_ = true; }

 private:
  QString folder_;
  bool kept_ = false;
};

// One of this PC's TLS files as read, under its name in a settings folder's tls/.
struct TlsCopy {
  const char* name;
  std::vector<std::uint8_t> bytes;
  bool secret() const { return std::string_view(name) == kTlsKeyFileName; }  // the key: owner and job only
};

struct CopiedFile {
  QString named;   // as the plan names it
  QString target;  // its name in the copy's folder
  std::vector<std::uint8_t> bytes;
};

// Each local file the plan names, read once, under a name of its own in the copy: its
// file name, "-2", "-3" ... before the suffix when two folders hold files of one name.
std::vector<CopiedFile> ReadFilesToCopy(const YearPlan& plan) {
  std::vector<CopiedFile> copied;
  std::map<QString, QString> target_of;  // the source's absolute path -> its name in the copy
  std::set<QString> taken;
  for (const PlanFile& file : PlanFiles(plan)) {
    if (IsWebCalendar(file.named)) continue;  // fetched wherever the plan is
    const QString source = QFileInfo(plan.resolve(file.named)).absoluteFilePath();
    QString& target = target_of[source];
    if (target.isEmpty()) {
      const QFileInfo info(source);
      target = info.fileName();
      for (int n = 2; !taken.insert(target).second; ++n) {
        target = QStringLiteral("%1-%2%3").arg(info.completeBaseName()).arg(n).arg(
            info.suffix().isEmpty() ? QString() : u'.' + info.suffix());
      }
    }
    copied.push_back({file.named, target, ReadFileStart(source, kMaxCopiedBytes)});
  }
  return copied;
}

// The copies' folders an installed plan file uses (so that a run that read it a moment
// ago still finds its files).
std::set<QString> CopiesInUse(const QString& plan_file, const QString& name) {
  std::set<QString> in_use;
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileStart(plan_file, kMaxCopiedBytes);
  } catch (const IoError&) {
    return in_use;
  }
  const PlanReading old = ParsePlan(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), plan_file);
  for (const PlanFile& file : PlanFiles(old.plan)) {
    const QStringList parts = file.named.split(u'/');
    if (parts.size() == 3 && parts[0] == name) in_use.insert(parts[1]);
  }
  return in_use;
}

void RemoveOldCopies(const QString& copies, const std::set<QString>& keep) {
  for (const QString& entry : QDir(copies).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (IsCopyNumber(entry) && !keep.contains(entry)) QDir(copies + u'/' + entry).removeRecursively();
  }
}

QString Header(const InstallRequest& request) {
  return QStringLiteral(
             "# The unattended job's copy of %1,\n"
             "# made by zmrctl install on %2. Install the plan again rather than edit this copy.\n")
      .arg(QFileInfo(request.plan).absoluteFilePath(), request.now.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

class Installer {
 public:
  explicit Installer(const InstallRequest& request) : request_(request) {}

  InstallResult run() {
    PlanReading reading = ReadPlan(request_.plan, request_.now.date());
    if (!reading.ok()) {
      result_.outcome = InstallOutcome::Refused;
      result_.faults = std::move(reading.faults);
      return result_;
    }
    const YearPlan& plan = reading.plan;
    result_.name = request_.name.isEmpty() ? plan.name : request_.name;
    if (!IsJobName(result_.name)) {
      return fail(InstallOutcome::BadName,
                  QStringLiteral("'%1' cannot name a job: a systemd instance is only letters, digits, '_', '.' and '-' "
                                 "(neither '.' nor '-' first), at most %2 of them; --name %3 would do")
                      .arg(result_.name)
                      .arg(kMaxJobNameLength)
                      .arg(SuggestedJobName(result_.name)));
    }
    result_.port_asked = plan.port.value_or(request_.default_port);
    const StandAlonePort port = StandAlonePortOf(result_.port_asked);
    if (port.port.isEmpty()) return fail(InstallOutcome::NoPort, port.problem);
    result_.port = port.port;
    try {
      std::vector<CopiedFile> files = ReadFilesToCopy(plan);
      const std::vector<TlsCopy> tls = readTls();
      install(plan, files);
      installTls(tls);
    } catch (const IoError& e) {
      return fail(InstallOutcome::Failed, Sentence(e));
    } catch (const std::runtime_error& e) {  // the copy did not read back
      return fail(InstallOutcome::Failed, QString::fromStdString(e.what()));
    }
    const QString stop = request_.root.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(QDir(request_.root).absolutePath());
    if (const QString closed = ClosedFolderOnTheWay(result_.copy_folder, stop); !closed.isEmpty()) {
      result_.warnings << QStringLiteral("the job's user cannot reach the plan through %1: make it searchable "
                                         "(chmod o+x %1)")
                              .arg(closed);
    }
    return result_;
  }

 private:
  InstallResult fail(InstallOutcome outcome, const QString& problem) {
    result_.outcome = outcome;
    result_.problem = problem;
    return result_;
  }

  // This PC's TLS files that are set, when the timer is reached over TLS: read before
  // anything is written, so one that cannot be read changes nothing. A file not set is
  // none of the job's either (no CA: the system's CAs; no certificate: none shown).
  std::vector<TlsCopy> readTls() const {
    std::vector<TlsCopy> read;
    const ParsedAddress address = ParseNetworkAddress(result_.port);
    if (!address.address || !address.address->tls) return read;
    const TlsFiles set = TlsFilesIn(request_.settings_folder);
    for (const auto& [path, name] : {std::pair{set.ca, kTlsCaFileName}, std::pair{set.cert, kTlsCertFileName},
                                     std::pair{set.key, kTlsKeyFileName}}) {
      if (!path) continue;
      try {
        read.push_back({name, ReadFileStart(*path, kMaxTlsFileBytes)});
      } catch (const IoError& e) {
        throw IoError(QStringLiteral("this PC's TLS file %1 cannot be read: %2").arg(*path, Sentence(e)).toStdString());
      }
    }
    return read;
  }

  void install(const YearPlan& plan, const std::vector<CopiedFile>& files) {
    const QString plans = PlansFolderUnder(request_.root);
    const QString copies = plans + u'/' + result_.name;
    MakeFolders(copies);
    NewCopy copy(NewCopyFolder(copies));
    const QString stamp = QFileInfo(copy.folder()).fileName();
    std::map<QString, QString> renamed;
    for (const CopiedFile& file : files) {
      const QString target = copy.folder() + u'/' + file.target;
      if (!QFileInfo::exists(target)) WriteNewFile(target, file.bytes, kReadableFile);
      renamed[file.named] = QStringLiteral("%1/%2/%3").arg(result_.name, stamp, file.target);
    }
    SyncFolder(copy.folder());
    YearPlan installed = RenamePlanFiles(plan, [&](const QString& named) {
      const auto found = renamed.find(named);
      return found == renamed.end() ? named : found->second;
    });
    installed.port = result_.port;
    result_.plan_file = plans + u'/' + result_.name + QStringLiteral(".toml");
    installed.path = result_.plan_file;
    const QByteArray text = (Header(request_) + QString::fromStdString(PlanText(installed))).toUtf8();
    // The copy must read as the job will read it before it replaces the one in use.
    PlanReading check = ParsePlan(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                                  result_.plan_file);
    LoadPlanFiles(check, request_.now.date());
    if (!check.ok()) {
      throw std::runtime_error(
          ("the copy does not read back: " + FaultLines(check.faults).join(QStringLiteral("; "))).toStdString());
    }
    std::set<QString> keep = CopiesInUse(result_.plan_file, result_.name);
    ReplaceFile(result_.plan_file, Bytes(text), ReplaceMode::CreateOrReplace, kReadableFile);
    copy.keep();
    keep.insert(stamp);
    RemoveOldCopies(copies, keep);
    result_.copy_folder = copy.folder();
    result_.files = static_cast<int>(renamed.size());
  }

  // The service's TLS files become this PC's: those set are copied, those not set removed.
  void installTls(const std::vector<TlsCopy>& tls) {
    const QString drop_in = TlsDropInUnder(request_.root, result_.name);
    const bool has_key = std::any_of(tls.begin(), tls.end(), [](const TlsCopy& c) { return c.secret(); });
    if (!has_key) result_.unit_changed = QFile::exists(drop_in) && QFile::remove(drop_in);
    const QString folder = Under(request_.root, kServiceSettingsFolder + QStringLiteral("/tls"));
    if (tls.empty()) return;
    MakeFolders(folder);
    for (const char* name : {kTlsCaFileName, kTlsCertFileName, kTlsKeyFileName}) {
      if (std::none_of(tls.begin(), tls.end(), [&](const TlsCopy& c) { return c.name == name; })) {
        QFile::remove(folder + u'/' + QLatin1String(name));
      }
    }
    const struct group* key_group = ::getgrnam(request_.key_group.toLocal8Bit().constData());
    for (const TlsCopy& file : tls) {
      const QString target = folder + u'/' + QLatin1String(file.name);
      ReplaceFile(target, file.bytes, ReplaceMode::CreateOrReplace, file.secret() ? kOwnerOnly : kReadableFile);
      result_.tls_files << target;
      if (!file.secret()) continue;
      if (key_group == nullptr) {
        result_.warnings << QStringLiteral("the group %1 does not exist on this PC, so the job cannot read %2: "
                                           "make it (groupadd --system %1) and install again")
                                .arg(request_.key_group, target);
        continue;
      }
      const QByteArray native = QFile::encodeName(target);
      if (::chown(native.constData(), static_cast<uid_t>(-1), key_group->gr_gid) != 0 ||
          ::chmod(native.constData(), kGroupReadable) != 0) {
        result_.warnings << QStringLiteral("%1 could not be given to the group %2 (%3): the job cannot read it")
                                .arg(target, request_.key_group, Sentence(IoError::fromErrno(errno)));
        continue;
      }
      MakeFolders(QFileInfo(drop_in).path());
      const QByteArray unit = QStringLiteral("# Lets the job read this PC's TLS key (%1).\n[Service]\nSupplementaryGroups=%2\n")
                                  .arg(target, request_.key_group)
                                  .toUtf8();
      ReplaceFile(drop_in, Bytes(unit), ReplaceMode::CreateOrReplace, kReadableFile);
      result_.unit_changed = true;
    }
  }

  const InstallRequest& request_;
  InstallResult result_;
};

}  // namespace

QString PlansFolderUnder(const QString& root) { return Under(root, kPlansFolder); }

QString TlsDropInUnder(const QString& root, const QString& name) {
  return Under(root, QStringLiteral("/etc/systemd/system/zmr-upkeep@%1.service.d/zmr-tls.conf").arg(name));
}

InstallResult InstallPlan(const InstallRequest& request) { return Installer(request).run(); }

}  // namespace zmr
