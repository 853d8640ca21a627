#include "VesperSetup.h"

#include "SymmetricEncryption.h"
#include "Vesper.h"

#include <openssl/crypto.h>

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// Where Vesper objects look for their files, below the base folder or the program's directory.
// The tool checks after writing that a Vesper object really reads these files.
const char kOrgFolder[] = "/Marlek Telvor Group";
const char kSetupFileName[] = "/Halvex/setup.ini";
const char kDataFileName[] = "/Vesper/data.ini";

// Mixed layout of the setup file: "I" = IV + key bytes 0..7, "K" = key bytes 8..31.
constexpr int kIvSize = 16;
constexpr int kKeySize = 32;
constexpr int kMixedKeyHead = 8;

void wipe(QString &text)
{
    text.fill(QChar());
    text.clear();
}

void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), static_cast<size_t>(bytes.size()));
    bytes.clear();
}

bool stdinIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

#ifndef Q_OS_WIN
termios savedTerminal;

// An interrupted prompt must not leave the terminal without echo.
void restoreTerminalAndExit(int)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    _exit(130);
}
#endif

void setTerminalEcho(bool on)
{
#ifdef Q_OS_WIN
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode))
        return;
    SetConsoleMode(input, on ? (mode | ENABLE_ECHO_INPUT) : (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)));
#else
    if (on) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        return;
    }
    if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
        return;
    signal(SIGINT, restoreTerminalAndExit);
    signal(SIGTERM, restoreTerminalAndExit);
    termios silent = savedTerminal;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &silent);
#endif
}

// One line without its line end; false at the end of the input.
bool readLine(QTextStream &in, QString &line)
{
    if (!in.readLineInto(&line))
        return false;
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return true;
}

} // namespace

int VesperSetup::run(const QStringList &arguments)
{
#ifndef Q_OS_WIN
    // Files and folders made here are the owner's alone from their first byte on.
    umask(S_IRWXG | S_IRWXO);
#endif

    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Creates the credentials store: a setup file with a fresh key and IV, and the data file with the "
           "database user name, password and data key.\n"
           "The three secrets are read from standard input, one per line (user name, password, data key), "
           "or asked for when standard input is a terminal."));
    parser.addHelpOption();
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        tr("Replace an existing setup file. Its new key makes every credential stored with the old key unreadable."));
    const QCommandLineOption appDirOption(
        QStringLiteral("app-dir"),
        tr("Write the files into this program's directory (the fall-back place of the program beside it) "
           "instead of the shared data folder."));
    parser.addOption(forceOption);
    parser.addOption(appDirOption);
    parser.process(arguments);
    if (!parser.positionalArguments().isEmpty()) // not repeated: it may well be a secret
        return exitWithError(tr("Unexpected argument. Secrets are never taken from the command line."));

    const QString primaryRoot = Vesper::defaultBaseFolder() + QLatin1String(kOrgFolder);
    const QString appRoot = QCoreApplication::applicationDirPath();
    const bool useAppDir = parser.isSet(appDirOption);
    const QString root = useAppDir ? appRoot : primaryRoot;
    const QString setupPath = root + QLatin1String(kSetupFileName);
    const QString dataPath = root + QLatin1String(kDataFileName);

    if (useAppDir) {
        // Vesper prefers the shared data folder: files there would hide the ones written here.
        for (const QString &shadow :
             {primaryRoot + QLatin1String(kSetupFileName), primaryRoot + QLatin1String(kDataFileName)}) {
            if (QFileInfo::exists(shadow))
                return exitWithError(
                    tr("%1 exists and is read before the program's directory; remove it first.").arg(shadow));
        }
    }
    if (QFileInfo::exists(setupPath) && !parser.isSet(forceOption))
        return exitWithError(
            tr("The setup file %1 already exists. Replacing it makes every stored credential unreadable; "
               "use --force to replace it.")
                .arg(setupPath));

    QString user;
    QString password;
    QString dataKey;
    // The data file comes first: a folder that cannot take it must not cost an existing setup file.
    bool ok = readSecrets(user, password, dataKey);
    ok = ok && createDataFile(dataPath) && writeSetupFile(setupPath) &&
         storeCredentials(setupPath, dataPath, user, password, dataKey);
    wipe(user);
    wipe(password);
    wipe(dataKey);
    if (!ok)
        return 1;

    QTextStream out(stdout);
    out << tr("Setup file written: %1").arg(QDir::toNativeSeparators(setupPath)) << '\n'
        << tr("Data file written: %1").arg(QDir::toNativeSeparators(dataPath)) << '\n';
    return 0;
}

bool VesperSetup::readSecrets(QString &user, QString &password, QString &dataKey)
{
    QTextStream in(stdin);
    if (stdinIsTerminal()) {
        QTextStream err(stderr);
        err << tr("Database user name: ") << Qt::flush;
        if (!readLine(in, user))
            return reportError(tr("No user name given."));
        if (!promptSecret(in, tr("Database password"), password) || !promptSecret(in, tr("Data key"), dataKey))
            return false;
    } else if (!readLine(in, user) || !readLine(in, password) || !readLine(in, dataKey)) {
        return reportError(tr("Standard input must hold three lines: user name, password and data key."));
    }
    if (user.trimmed().isEmpty())
        return reportError(tr("The user name is empty."));
    return true;
}

// Asks twice without echo, so that a typing error is not stored unseen.
bool VesperSetup::promptSecret(QTextStream &in, const QString &label, QString &value)
{
    QTextStream err(stderr);
    QString repeated;
    err << label << ": " << Qt::flush;
    setTerminalEcho(false);
    bool ok = readLine(in, value);
    err << '\n' << tr("Repeat %1").arg(label.toLower()) << ": " << Qt::flush;
    ok = ok && readLine(in, repeated);
    setTerminalEcho(true);
    err << '\n' << Qt::flush;
    const bool same = ok && value == repeated;
    wipe(repeated);
    if (!ok)
        return reportError(tr("Input ended before the %1 was given.").arg(label.toLower()));
    if (!same)
        return reportError(tr("The two entries differ."));
    return true;
}

bool VesperSetup::writeSetupFile(const QString &path)
{
    // Made (or kept) first so that it is the owner's alone before a key byte is in it; the settings
    // object then replaces it in one step, keeping those permissions.
    if (!createOwnerOnlyFile(path))
        return false;

    unsigned char iv[kIvSize];
    unsigned char key[kKeySize];
    SymmetricEncryption::generateIv(iv, kIvSize);
    SymmetricEncryption::generateKey(key, kKeySize);
    QByteArray mixedI(reinterpret_cast<const char *>(iv), kIvSize);
    mixedI.append(reinterpret_cast<const char *>(key), kMixedKeyHead);
    QByteArray mixedK(reinterpret_cast<const char *>(key) + kMixedKeyHead, kKeySize - kMixedKeyHead);
    OPENSSL_cleanse(iv, sizeof(iv));
    OPENSSL_cleanse(key, sizeof(key));

    QByteArray textI = mixedI.toBase64();
    QByteArray textK = mixedK.toBase64();
    QSettings::Status status;
    {
        QSettings setup(path, QSettings::IniFormat);
        setup.setValue(QStringLiteral("Vesper/I"), textI);
        setup.setValue(QStringLiteral("Vesper/K"), textK);
        setup.sync();
        status = setup.status();
    }
    wipe(mixedI);
    wipe(mixedK);
    wipe(textI);
    wipe(textK);
    if (status != QSettings::NoError)
        return reportError(tr("Cannot write %1.").arg(path));
    return restrictToOwner(path);
}

bool VesperSetup::createDataFile(const QString &path)
{
    // An existing data file keeps its other entries; the three credentials are replaced below.
    return createOwnerOnlyFile(path);
}

bool VesperSetup::createOwnerOnlyFile(const QString &path)
{
    // Appending creates a missing file and leaves an existing one as it is.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return reportError(tr("Cannot create the folder %1.").arg(folder));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return reportError(tr("Cannot write %1: %2").arg(path, file.errorString()));
    file.close();
    return restrictToOwner(path);
}

bool VesperSetup::restrictToOwner(const QString &path)
{
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return reportError(tr("Cannot restrict %1 to its owner.").arg(path));
    return true;
}

bool VesperSetup::storeCredentials(const QString &setupPath,
                                   const QString &dataPath,
                                   const QString &user,
                                   const QString &password,
                                   const QString &dataKey)
{
    const QList<QPair<eCreType, const QString *>> credentials = {
        {CreDbUser, &user}, {CreDbPassword, &password}, {CreDbKey, &dataKey}};
    {
        Vesper store;
        if (store.setupFilePath != setupPath || store.dataFilePath != dataPath || !store.cipher)
            return reportError(
                tr("The credentials store does not read the files written here (%1, %2).").arg(setupPath, dataPath));
        for (const auto &credential : credentials)
            store.setCredentials(credential.first, *credential.second);
    }
    if (!restrictToOwner(dataPath))
        return false;

    // Read back through a new object, as the program will.
    Vesper check;
    for (const auto &credential : credentials) {
        QString stored = check.getCredentials(credential.first);
        const bool same = stored == *credential.second;
        wipe(stored);
        if (!same)
            return reportError(tr("The credentials could not be stored in %1.").arg(dataPath));
    }
    return true;
}

bool VesperSetup::reportError(const QString &message)
{
    QTextStream err(stderr);
    err << QCoreApplication::applicationName() << ": " << message << '\n';
    return false;
}

int VesperSetup::exitWithError(const QString &message)
{
    reportError(message);
    return 1;
}
