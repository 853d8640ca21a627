// libFuzzer harness of the credentials files. An input is the setup file and
// the data file, split at the credentials separator; the harness writes them
// where Vesper looks for them and asks every credential type, the undefined
// ones included. Every input gets folders of its own, because QSettings
// serves a cached parse for a path whose size and time look unchanged.

#include "FuzzSupport.h"
#include "Vesper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

QTemporaryDir *s_root = nullptr;

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(content) == content.size();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::silenceQtMessages();
    // Vesper falls back to the application's directory and names the
    // application in its debug lines.
    static QCoreApplication app(*argc, *argv);
    s_root = new QTemporaryDir(fuzz::scratchFolderTemplate());
    if (!s_root->isValid())
        std::abort();
    qputenv("XDG_DATA_HOME", QFile::encodeName(s_root->filePath(QStringLiteral("home"))));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static quint64 s_run = 0;
    const QList<QByteArray> files = fuzz::split(fuzz::input(data, size), fuzz::kCredentialsSeparator);

    // Entry 1 of the generic data locations is the first folder of XDG_DATA_DIRS.
    const QString base = s_root->filePath(QString::number(++s_run));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(base));
    const QString org = base + QStringLiteral("/Marlek Telvor Group");
    if (!writeFile(org + QStringLiteral("/Halvex/setup.ini"), files.value(0)))
        std::abort();
    if (files.size() > 1 && !writeFile(org + QStringLiteral("/Vesper/data.ini"), files.value(1)))
        std::abort();

    {
        Vesper vesper;
        for (int type = -1; type <= 4; ++type)
            vesper.getCredentials(eCreType{type});
    }
    QDir(base).removeRecursively();
    return 0;
}
