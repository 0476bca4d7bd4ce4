#include "app/application.h"
#include "platform/errors.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vu {
namespace {

// What takes the place of an input file.
enum class Intruder { Fifo, DevZero, Sparse };

void replaceWith(const QString& path, Intruder intruder) {
    QFile::remove(path);
    const QByteArray name = QFile::encodeName(path);
    switch (intruder) {
    case Intruder::Fifo:
        ASSERT_EQ(::mkfifo(name.constData(), 0644), 0);
        break;
    case Intruder::DevZero:
        ASSERT_TRUE(QFile::link("/dev/zero", path));
        break;
    case Intruder::Sparse: {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, qint64(8) << 30), 0); // 8 GiB of holes
        ::close(fd);
        break;
    }
    }
}

// Starts the program on `folder` and opens its contest file, as the window program does;
// returns every error text it met.
QStringList runProgram(const QString& folder) {
    QStringList errors;
    ApplicationOptions options;
    options.programFolder = folder;
    options.allowNetwork = false;
    Application app(options);
    try {
        app.startUp();
    } catch (const AppError& e) {
        errors << e.message();
    }
    errors << app.startUpErrors();
    try {
        app.acceptStation();
    } catch (const AppError& e) {
        errors << e.message();
    }
    try {
        app.setContestFile(folder + "/Files/LOG.QRP");
        app.activateMain();
    } catch (const AppError& e) {
        errors << e.message();
    }
    return errors;
}

// Every file the program reads, replaced by a FIFO (whose open would wait for a writer for
// ever), a link to /dev/zero (a read without end) or a sparse file of 8 GiB: the program goes
// on, and an error names the file.
TEST(InputFiles, AFifoADeviceOrAHugeFileInPlaceOfAnyInputFileIsRefusedNamingIt) {
    const char* const files[] = {"Varurav_UDA.ini", "Lng/F_F_ZUZUDER.ini",
                                 "cty_wt.dat",      "Fichiers_BD/VUZ_adar_2021.csv",
                                 "SMTP.csv",        "Files/LOG.QRP"};
    for (const Intruder intruder : {Intruder::Fifo, Intruder::DevZero, Intruder::Sparse}) {
        for (const char* file : files) {
            SCOPED_TRACE(std::string(file) + " as intruder " +
                         std::to_string(static_cast<int>(intruder)));
            QTemporaryDir dir;
            ASSERT_TRUE(dir.isValid());
            const QString folder = dir.filePath("program");
            test::layShippedProgramFolder(folder);
            ASSERT_TRUE(QDir().mkpath(folder + "/Files"));
            test::writeFile(folder + "/Varurav_UDA.ini",
                            "[VGlobales]\r\nOPERATOR=D4ERI\r\nMY_STATION=D4ERI\r\n[OP]\r\n"
                            "email=d4eri@orange.fr\r\n[Langue]\r\nLNG=1\r\n");
            test::writeFile(folder + "/Files/LOG.QRP", QByteArray());
            const QString path = folder + "/" + file;
            replaceWith(path, intruder);

            const QStringList errors = runProgram(folder);
            EXPECT_TRUE(errors.join('\n').contains(path)) << errors.join('\n').toStdString();
        }
    }
}

} // namespace
} // namespace vu
