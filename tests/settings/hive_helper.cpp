// Runs one settings-store operation in its own process, for the tests that
// need several processes or another user:
//   get FOLDER SECTION NAME DEFAULT    prints the value
//   save FOLDER SECTION NAME VALUE     exit 0 when written
//   delete FOLDER SECTION NAME         exit 0 when deleted ("" deletes the key)
//   save-many FOLDER SECTION PREFIX N  saves PREFIX0..PREFIX(N-1) one by one; exit 0 when all were written
//   save-loop FOLDER SECTION N SIZE    saves v0..v(N-1) together, generation after generation, until killed;
//                                      prints each committed generation
#include "settings/CRegister.h"

#include <cstdio>

using namespace settings; // the subsystem under test

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: hive_helper COMMAND FOLDER SECTION ...\n");
        return 2;
    }
    const QString command = args[0];
    const CRegister reg(args[1]);
    const QString section = args[2];

    if (command == QLatin1String("get") && args.size() == 5) {
        std::fputs(reg.REGGetSetting(HKEY_LOCAL_MACHINE, section, args[3], args[4]).toUtf8().constData(), stdout);
        return 0;
    }
    if (command == QLatin1String("save") && args.size() == 5)
        return reg.REGSaveSetting(HKEY_LOCAL_MACHINE, section, args[3], args[4]) ? 0 : 1;
    if (command == QLatin1String("delete") && args.size() == 4)
        return reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, section, args[3]) ? 0 : 1;
    if (command == QLatin1String("save-many") && args.size() == 5) {
        int failures = 0;
        const int count = args[4].toInt();
        for (int i = 0; i < count; ++i)
            if (!reg.REGSaveSetting(HKEY_LOCAL_MACHINE, section, args[3] + QString::number(i), QString::number(i)))
                ++failures;
        if (failures)
            std::fprintf(stderr, "%d of %d saves failed\n", failures, count);
        return failures ? 1 : 0;
    }
    if (command == QLatin1String("save-loop") && args.size() == 5) {
        const int count = args[3].toInt();
        const QString padding(args[4].toInt(), QLatin1Char('x'));
        for (int generation = 1;; ++generation) {
            QList<std::pair<QString, QString>> values;
            for (int i = 0; i < count; ++i)
                values.append({QStringLiteral("v%1").arg(i), QString::number(generation) + QLatin1Char(':') + padding});
            if (!reg.saveValues(HKEY_LOCAL_MACHINE, section, values))
                return 1;
            std::printf("%d\n", generation);
            std::fflush(stdout);
        }
    }
    std::fprintf(stderr, "hive_helper: unknown command or wrong arguments\n");
    return 2;
}
