// Runs Vesper operations, each on a new object, from wherever this program lies:
//   get <type>   prints the credential on a line of its own
//   set <type>   stores the next line of standard input
//   saveI | saveK | saveMixedKI
#include "Vesper.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        Vesper vesper;
        const QString &command = args.at(i);
        if (command == QLatin1String("get"))
            out << vesper.getCredentials(static_cast<eCreType>(args.value(++i).toInt())) << '\n';
        else if (command == QLatin1String("set"))
            vesper.setCredentials(static_cast<eCreType>(args.value(++i).toInt()), in.readLine());
        else if (command == QLatin1String("saveI"))
            vesper.saveI();
        else if (command == QLatin1String("saveK"))
            vesper.saveK();
        else if (command == QLatin1String("saveMixedKI"))
            vesper.saveMixedKI();
        else
            return 2;
    }
    return 0;
}
