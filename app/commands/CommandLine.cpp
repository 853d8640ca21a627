#include "CommandLine.h"

namespace {

struct Option
{
    const char *pszName;
    CommandLine::Command command;
    bool bTakesFile;
};

// The option names without their dashes.
const Option kOptions[] = {
    {"AutoUpdate", CommandLine::Command::AutoUpdate, false},
    {"AutoCreate", CommandLine::Command::AutoCreate, false},
    {"Status", CommandLine::Command::Status, false},
    {"Backup", CommandLine::Command::Backup, false},
    {"Verify", CommandLine::Command::Verify, true},
    {"Restore", CommandLine::Command::Restore, true},
    {"CleanBackups", CommandLine::Command::CleanBackups, false},
    {"Rehearse", CommandLine::Command::Rehearse, false},
};

bool isNamed(const QString &szArgument, const QString &szName)
{
    return szArgument.compare(szName, Qt::CaseInsensitive) == 0;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &lstArguments)
{
    CommandLine result;
    if (lstArguments.size() < 2)
        return result;
    const QString &szFirst = lstArguments.at(1);
    // --help and --version answer whatever follows them.
    if (isNamed(szFirst, QStringLiteral("--help"))) {
        result.m_command = Command::Help;
        return result;
    }
    if (isNamed(szFirst, QStringLiteral("--version"))) {
        result.m_command = Command::Version;
        return result;
    }

    const Option *pOption = nullptr;
    for (const Option &option : kOptions) {
        const QString szName = QLatin1String(option.pszName);
        if (isNamed(szFirst, QLatin1Char('-') + szName) || isNamed(szFirst, QStringLiteral("--") + szName)) {
            pOption = &option;
            break;
        }
    }
    if (!pOption) {
        result.m_command = Command::UsageError;
        result.m_szError = QStringLiteral("Unknown option: %1").arg(szFirst);
        return result;
    }
    result.m_command = pOption->command;

    QStringList lstRest = lstArguments.mid(2);
    if (pOption->bTakesFile) {
        if (lstRest.isEmpty() || lstRest.first().startsWith(QLatin1String("--"))) {
            result.m_command = Command::UsageError;
            result.m_szError = QStringLiteral("%1 needs the backup file").arg(szFirst);
            return result;
        }
        result.m_szFile = lstRest.takeFirst();
    }
    // A restore replaces the database: only "--yes" as the very last
    // argument confirms it, so that a typo never does.
    if (pOption->command == Command::Restore) {
        if (!lstRest.isEmpty() && isNamed(lstRest.last(), QStringLiteral("--yes"))) {
            result.m_bConfirmed = true;
            lstRest.removeLast();
        }
    }
    for (const QString &szArgument : qAsConst(lstRest)) {
        if (isNamed(szArgument, QStringLiteral("--json")) && !result.m_bJson)
            result.m_bJson = true;
        else if (pOption->command == Command::Rehearse && isNamed(szArgument, QStringLiteral("--fresh")) &&
                 !result.m_bFresh)
            result.m_bFresh = true;
        else
            result.m_lstIgnored << szArgument;
    }
    return result;
}

bool CommandLine::isHeadless() const
{
    switch (m_command) {
    case Command::Window:
    case Command::AutoUpdate:
    case Command::AutoCreate:
        return false;
    default:
        return true;
    }
}

bool CommandLine::isUnattended() const
{
    return m_command != Command::Window;
}

QString CommandLine::name() const
{
    switch (m_command) {
    case Command::Window:
        return QStringLiteral("window");
    case Command::AutoUpdate:
        return QStringLiteral("autoUpdate");
    case Command::AutoCreate:
        return QStringLiteral("autoCreate");
    case Command::Status:
        return QStringLiteral("status");
    case Command::Backup:
        return QStringLiteral("backup");
    case Command::Verify:
        return QStringLiteral("verify");
    case Command::Restore:
        return QStringLiteral("restore");
    case Command::CleanBackups:
        return QStringLiteral("cleanBackups");
    case Command::Rehearse:
        return QStringLiteral("rehearse");
    case Command::Help:
        return QStringLiteral("help");
    case Command::Version:
        return QStringLiteral("version");
    case Command::UsageError:
        break;
    }
    return QStringLiteral("usage");
}

// Printed before the configuration, and with it the language, is read: the
// text stays English.
QString CommandLine::usageText(const QString &szProgramName)
{
    return QStringLiteral(
               "Usage: %1 [-AutoUpdate | -AutoCreate | -Status | -Backup | -Verify FILE | -Restore FILE --yes |\n"
               "       -CleanBackups | -Rehearse [--fresh]] [--json]\n"
               "       %1 --help | --version\n"
               "\n"
               "Brings the database of the Telvor Imaging Suite to version 1.9.0.\n"
               "Without an option the program opens its window.\n"
               "\n"
               "  -AutoUpdate    update the configured database without asking anything, then end\n"
               "  -AutoCreate    create the database \"pelq\" on 127.0.0.1:6543 and update it, then end\n"
               "  -Status        where the database stands: version, pending steps, update lock,\n"
               "                 sessions, newest backup, schema changes made by hand; changes nothing\n"
               "  -Backup        write a verified backup of the configured database\n"
               "  -Verify FILE   prove that a backup can be restored (into a scratch database)\n"
               "  -Restore FILE --yes\n"
               "                 replace the configured database by the backup FILE\n"
               "  -CleanBackups  remove old backups; the newest verified one always stays\n"
               "  -Rehearse      run the pending update on a copy of the database (from the newest\n"
               "                 verified backup, or --fresh: a new one) and report each step\n"
               "  --json         print exactly one JSON object with the result on standard output\n"
               "  --help         print this text and end\n"
               "  --version      print the version and end\n"
               "\n"
               "Only the first argument chooses, in any letter case; two dashes work too\n"
               "(\"--AutoUpdate\"). The unattended commands write their result to\n"
               "Log/KivDataBaseUpdater-last-run.json beside the log.\n"
               "\n"
               "Exit codes:\n"
               "  0    done: the database is at 1.9.0, or the command succeeded\n"
               "       (-Status: up to date and no schema changes)\n"
               "  1    failed, or the status could not be read: the log and the JSON report name the cause\n"
               "  2    -Status: update steps are pending\n"
               "  3    -Status: another updater holds the update lock now\n"
               "  4    -Status: the schema differs from what its version expects\n"
               "  64   unknown option or missing argument\n"
               "  255  (-1) another copy of the program is running\n")
        .arg(szProgramName);
}
