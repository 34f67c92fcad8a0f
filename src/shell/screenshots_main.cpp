// Pictures of the three windows for the documentation, made without a
// display: the main window after choosing a group, the history window on
// its first stored snapshot, and the about window.
//
//   zorvika-screenshots PROGRAM_FOLDER CHOSEN_FILE OUTPUT_FOLDER
//
// PROGRAM_FOLDER holds the message table; its working folders and snapshot
// store are filled by the run.
#include "about/frm_pub_about.h"
#include "about/logos.h"
#include "components/gui_font.h"
#include "components/recording_utility.h"
#include "history/frm_pub_his.h"
#include "shell/frm_pub_main.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace {

bool save(QWidget& window, const QString& file)
{
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    if (!picture.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: zorvika-screenshots PROGRAM_FOLDER CHOSEN_FILE OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    const QString outDir = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(outDir);

    zorvika::RecordingUtility utility;
    zorvika::frmPubMain main(zorvika::ProgramFolder{argv[1]}, utility);
    main.show();
    utility.openAnswers.push_back({QString::fromLocal8Bit(argv[2])});
    main.sbt_Click(zorvika::BtnChoose);
    bool ok = utility.messages.empty();
    ok = save(main, outDir + QStringLiteral("/main-window.png")) && ok;

    utility.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/history-window.png")) && ok; };
    main.sbt_Click(zorvika::BtnHistory);
    utility.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/about-window.png")) && ok; };
    main.sbt_Click(zorvika::BtnAbout);
    for (const zorvika::RecordedMessage& m : utility.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
    return ok ? 0 : 1;
}
