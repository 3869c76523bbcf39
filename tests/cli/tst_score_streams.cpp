// tizhi-score with what lies around its rows: file names in any bytes,
// marks at the start of the input, standard output that is the input,
// inputs of no bounded size, writes that fail, signals, and options given
// twice. Each case runs the real command.
#include "scorer_process.h"
#include "test_registry.h"

#include <QElapsedTimer>
#include <QTest>

#include <array>
#include <cstddef>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

using namespace tizhi::test::scorer;

namespace {

// Names the cases give in GBK bytes, as archives made on Windows unpack:
// $G is 体质.csv, $H 体.csv and $K 质.csv. None of them is UTF-8.
const QString kNames = QStringLiteral("G=$(printf '\\314\\345\\326\\312.csv'); "
                                      "H=$(printf '\\314\\345.csv'); "
                                      "K=$(printf '\\326\\312.csv'); ");
const QByteArray kG = "\xcc\xe5\xd6\xca.csv";
const QByteArray kH = "\xcc\xe5.csv";
const QByteArray kK = "\xd6\xca.csv";
// What a lossy decoding makes of $G: four replacement characters. A file
// of this name must never be touched.
const QByteArray kDecoy = "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd.csv";

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? QByteArray("\xfe\xff") : QByteArray("\xff\xfe");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xff);
        bytes += bigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1}
                           : QByteArray{&low, 1} + QByteArray{&high, 1};
    }
    return bytes;
}

#if defined(__x86_64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_AARCH64;
#else
constexpr unsigned kAuditArch = 0;
#endif

// A seccomp filter under which opening an unnamed file (O_TMPFILE) fails
// with EOPNOTSUPP, as it does on vfat, exFAT or SMB: the scorer then names
// its temporary file. The flags are openat's third argument, whose low
// half comes first on a little-endian machine.
constexpr unsigned kFlagsOffset = offsetof(seccomp_data, args) + 2 * sizeof(__u64) +
                                  (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? 0 : 4);
constexpr std::array<sock_filter, 9> kWithoutUnnamedFiles = {{
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kFlagsOffset),
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
}};

// Exit status of the child when the filter cannot be set up here.
constexpr int kNoFilter = 125;

// Starts the scorer with `arguments` in `dir` under kWithoutUnnamedFiles,
// with the signals' default actions, its standard input the pipe whose
// writing end goes to `input`. The process, or -1.
pid_t startWithoutUnnamedFiles(const QTemporaryDir &dir, const QStringList &arguments, int &input)
{
    QByteArrayList bytes{TIZHI_SCORE_PATH};
    for (const QString &argument : arguments)
        bytes << argument.toUtf8();
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(dir.path());
    sock_fprog program{static_cast<unsigned short>(kWithoutUnnamedFiles.size()),
                       const_cast<sock_filter *>(kWithoutUnnamedFiles.data())};
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        // Async-signal-safe calls only, until exec.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
            ::signal(signal, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        if (dup2(ends[0], 0) < 0 || dup2(null, 1) < 0 || dup2(null, 2) < 0 ||
            chdir(folder.constData()) != 0 || prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(kNoFilter);
        execv(argv[0], argv.data());
        _exit(kNoFilter + 1);
    }
    ::close(ends[0]);
    input = ends[1];
    return pid;
}

} // namespace

class TestScoreStreams : public QObject {
    Q_OBJECT

private slots:
    // Every file name is used as the bytes given: INPUT, OUTPUT, the link
    // OUTPUT is and the file it names. A file whose name is what a lossy
    // decoding makes of them stays as it was.
    void fileNamesAreBytes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("written"); // holds the scored rows afterwards
        QTest::addColumn<QByteArray>("link");    // stays a symbolic link, when not empty
        QTest::addColumn<QByteArrayList>("names");
        const QByteArray forms = "forms.csv";
        QTest::newRow("OUTPUT named in GBK") << ""
                                             << "$S --form 33 forms.csv \"$G\"" << kG
                                             << QByteArray() << QByteArrayList{forms, kG, kDecoy};
        QTest::newRow("OUTPUT a link named in GBK")
            << "echo old > target.csv; ln -s target.csv \"$G\""
            << "$S --form 33 forms.csv \"$G\"" << QByteArray("target.csv") << kG
            << QByteArrayList{forms, "target.csv", kG, kDecoy};
        QTest::newRow("OUTPUT a link to a file named in GBK")
            << "echo old > \"$G\"; ln -s \"$G\" out.csv"
            << "$S --form 33 forms.csv out.csv" << kG << QByteArray("out.csv")
            << QByteArrayList{forms, "out.csv", kG, kDecoy};
        QTest::newRow("OUTPUT a link to no file yet, named in GBK")
            << "ln -s \"$G\" out.csv"
            << "$S --form 33 forms.csv out.csv" << kG << QByteArray("out.csv")
            << QByteArrayList{forms, "out.csv", kG, kDecoy};
        QTest::newRow("INPUT and OUTPUT both named in GBK")
            << "cp forms.csv \"$H\""
            << "$S --form 33 \"$H\" \"$K\"" << kK << QByteArray()
            << QByteArrayList{forms, kH, kK, kDecoy};
        QTest::newRow("INPUT named in GBK, rows to standard output")
            << "cp forms.csv \"$H\""
            << "$S --form 33 \"$H\" > out.csv" << QByteArray("out.csv") << QByteArray()
            << QByteArrayList{forms, "out.csv", kH, kDecoy};
    }

    void fileNamesAreBytes()
    {
        QFETCH(QString, setup);
        QFETCH(QString, command);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, link);
        QFETCH(QByteArrayList, names);
        QTemporaryDir dir;
        const NamesRemovedByBytes cleanUp(dir);
        QVERIFY(write(dir, "forms.csv", kForms));
        QVERIFY(write(dir, QString::fromUtf8(kDecoy), "keep me\n"));
        QCOMPARE(shell(dir, kNames + setup).exitCode, 0);
        const Run run = shell(dir, kNames + command);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(readBytes(dir, written).startsWith("id,V_YANGXU_FIELD"),
                 readBytes(dir, written).left(100).constData());
        QCOMPARE(readBytes(dir, kDecoy), "keep me\n");
        if (!link.isEmpty())
            QVERIFY(isSymLink(dir, link));
        std::sort(names.begin(), names.end());
        QCOMPARE(namesIn(dir), names);
        for (const QByteArray &input : {QByteArray("forms.csv"), kH})
            if (names.contains(input))
                QCOMPARE(readBytes(dir, input), kForms);
    }

    // A message shows a name's bytes that are no UTF-8 as \xHH.
    void messagesShowNamesByTheirBytes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("told");
        QTest::newRow("INPUT missing") << "$S --form 33 \"$H\""
                                       << "cannot open '\\xCC\\xE5.csv' for reading";
        QTest::newRow("OUTPUT in a missing folder")
            << "$S --form 33 forms.csv \"missing/$K\""
            << "cannot write 'missing/\\xD6\\xCA.csv': No such file or directory";
        QTest::newRow("a control character in a name")
            << "$S --form 33 \"$(printf 'a\\033[2Jb.csv')\""
            << "cannot open 'a\\x1B[2Jb.csv' for reading";
    }

    void messagesShowNamesByTheirBytes()
    {
        QFETCH(QString, command);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms));
        const Run run = shell(dir, kNames + command);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QChar::ReplacementCharacter), qPrintable(run.err));
    }

    // Only EF BB BF is a byte order mark: a header may begin with another
    // character whose UTF-8 begins with EF. UTF-16, as a spreadsheet saves
    // "Unicode text", is refused by name.
    void marksAtTheStart_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QByteArray>("firstRow"); // how the first output row begins
        const QByteArray rows = row33("x,a") + "\n";
        QTest::newRow("（备注） begins the header")
            << "utf-8"
            << "（备注）," + header33() + "\n" + rows << 0 << "" << QByteArray("a,1;1;1;1;");
        QTest::newRow("ＩＤ begins the header")
            << "utf-8"
            << "ＩＤ," + header33().mid(3) + "\n" + row33("x") + "\n"
            << 0 << "" << QByteArray("1;1;1;1;");
        QTest::newRow("a mark, then （备注）") << "utf-8"
                                               << "\xef\xbb\xbf（备注）," + header33() + "\n" + rows
                                               << 0 << "" << QByteArray("a,1;1;1;1;");
        const QString header = QString::fromLatin1(header33()) + "\n";
        QTest::newRow("UTF-16, little-endian")
            << "utf-8" << utf16(header, false) << 2 << "the input is UTF-16 text" << QByteArray();
        QTest::newRow("UTF-16, big-endian")
            << "utf-8" << utf16(header, true) << 2 << "the input is UTF-16 text" << QByteArray();
        QTest::newRow("UTF-16 read as GBK") << "gbk" << utf16(header, false) << 2
                                            << "save it as CSV in UTF-8 or GBK" << QByteArray();
    }

    void marksAtTheStart()
    {
        QFETCH(QString, encoding);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, told);
        QFETCH(QByteArray, firstRow);
        const Run run = shellOnForms(input, "$S --form 33 --encoding " + encoding + " forms.csv");
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        if (!firstRow.isEmpty())
            QVERIFY2(run.out.split('\n').value(1).startsWith(firstRow), run.out.constData());
    }

    // Standard output that is the input's own file would feed the scorer
    // its own rows (with ">>" without end): refused as a named OUTPUT is.
    void standardOutputIntoTheInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("refused");
        QTest::newRow("appended to INPUT") << "$S --form 33 forms.csv >> forms.csv" << true;
        QTest::newRow("appended to standard input's file")
            << "$S --form 33 < forms.csv >> forms.csv" << true;
        QTest::newRow("appended through a hard link")
            << "ln forms.csv hard.csv; $S --form 33 forms.csv >> hard.csv" << true;
        QTest::newRow("opened for reading and writing")
            << "$S --form 33 forms.csv 1<> forms.csv" << true;
        QTest::newRow("appended to another file") << "$S --form 33 forms.csv >> out.csv" << false;
    }

    void standardOutputIntoTheInput()
    {
        QFETCH(QString, command);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms));
        const Run run = shell(dir, command);
        QCOMPARE(run.exitCode, refused ? 2 : 0);
        QCOMPARE(run.err.contains("are the same file"), refused);
        QCOMPARE(read(dir, "forms.csv"), kForms);
        if (!refused)
            QVERIFY(read(dir, "out.csv").startsWith("id,V_YANGXU_FIELD"));
    }

    // Memory stays bounded whatever the input: a field past 1 MiB or a row
    // past 2 MiB ends the run at its line, and item strings are summed as
    // they are read. The inputs come from a pipe, never from the disk.
    void memoryStaysBounded_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input"); // a shell command that writes it
        QTest::addColumn<int>("limitMegabytes");
        QTest::addColumn<int>("exitCode");
        const QString h = QString::fromLatin1(header33());
        const QString hundredMegabytes = "yes x | tr -d '\\n' | head -c 100000000";
        const QStringList form33{"--form", "33"};
        QTest::newRow("/dev/zero as INPUT")
            << QStringList{"--form", "33", "/dev/zero"} << "" << 64 << 2;
        QTest::newRow("a 100 MB item string")
            << QStringList{"--form", "66"}
            << "echo YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe; "
               "yes '1;' | tr -d '\\n' | head -c 100000000; echo ,0,0,0,0,0,0,0,0"
            << 64 << 2;
        QTest::newRow("a 100 MB quoted cell")
            << form33
            << "echo " + h + "; printf '\"'; " + hundredMegabytes + "; echo '\"'" +
                   QString(",1").repeated(33)
            << 64 << 2;
        QTest::newRow("a 100 MB header line")
            << form33 << hundredMegabytes + "; echo ," + h << 64 << 2;
        QTest::newRow("a 100 MB header line of short names")
            << form33 << "yes x, | tr -d '\\n' | head -c 100000000; echo " + h << 64 << 2;
        QTest::newRow("the widest row: two million empty fields under as many names")
            << form33
            << "head -c 2097000 /dev/zero | tr '\\0' ,; echo " + h +
                   "; head -c 2097000 /dev/zero | tr '\\0' ,; echo " +
                   QString::fromLatin1(row33("a"))
            << 160 << 0;
        QTest::newRow("ten million ordinary rows")
            << form33
            << "echo " + h + "; yes " + QString::fromLatin1(row33("c", "3")) + " | head -n 10000000"
            << 64 << 0;
    }

    void memoryStaysBounded()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(int, limitMegabytes);
        QFETCH(int, exitCode);
        const Peak peak = spawnAndWatch(arguments, input, limitMegabytes * 1024L);
        QVERIFY2(!peak.stopped, qPrintable(QString::number(peak.kilobytes) + " kB and growing"));
        QVERIFY(peak.kilobytes > 0);
        QCOMPARE(peak.exitCode, exitCode);
    }

    // Every failed write to standard output or standard error, and to a
    // device named as OUTPUT, ends in exit 2, told where standard error
    // still works; a named OUTPUT is not published then.
    void failedWritesFail_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("told");
        const QString full = "cannot write standard output: No space left on device";
        QTest::newRow("--help into a full device") << "$S --help > /dev/full" << full;
        QTest::newRow("--version into a full device") << "$S --version > /dev/full" << full;
        QTest::newRow("rows into a full device named as OUTPUT")
            << "$S --form 33 forms.csv /dev/full"
            << "the output could not be written";
        QTest::newRow("rows into a full standard output") << "$S --form 33 forms.csv > /dev/full"
                                                          << "the output could not be written";
        QTest::newRow("messages into a full standard error, rows to OUTPUT")
            << "$S --form 33 bad.csv out.csv 2> /dev/full"
            << "";
        QTest::newRow("messages into a full standard error, rows to standard output")
            << "$S --form 33 bad.csv 2> /dev/full > rows.csv"
            << "";
    }

    void failedWritesFail()
    {
        QFETCH(QString, command);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms));
        QVERIFY(write(dir, "bad.csv", header33() + "\n" + row33("a", "x") + "\n"));
        const Run run = shell(dir, command);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        QVERIFY(!files(dir).contains("out.csv"));
        QCOMPARE(files(dir).size(), command.contains("rows.csv") ? 3 : 2);
    }

    // SIGINT, SIGTERM, SIGHUP and SIGPIPE remove a named temporary file (on
    // a filesystem without unnamed files) and then end the scorer as they
    // would have; nothing is left in OUTPUT's folder.
    void signalsRemoveTheTemporaryFile_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT);
        QTest::newRow("SIGTERM (kill)") << int(SIGTERM);
        QTest::newRow("SIGHUP (the terminal closed)") << int(SIGHUP);
        QTest::newRow("SIGPIPE") << int(SIGPIPE);
    }

    void signalsRemoveTheTemporaryFile()
    {
        QFETCH(int, signal);
        if (kAuditArch == 0)
            QSKIP("no seccomp filter for this processor in this test");
        QTemporaryDir dir;
        int input = -1;
        const pid_t pid = startWithoutUnnamedFiles(dir, {"--form", "33", "-", "out.csv"}, input);
        QVERIFY(pid > 0);
        // The header and a row, then nothing yet: the scorer waits for more
        // with its temporary file open, which it opens before reading.
        const QByteArray rows = header33() + "\n" + row33("a") + "\n";
        QCOMPARE(::write(input, rows.constData(), std::size_t(rows.size())), rows.size());
        int status = 0;
        bool ended = false;
        QElapsedTimer waited;
        waited.start();
        while (namesIn(dir).isEmpty() && !ended && waited.elapsed() < 60000) {
            ended = waitpid(pid, &status, WNOHANG) == pid;
            usleep(1000);
        }
        const QByteArrayList during = namesIn(dir);
        if (!ended) {
            kill(pid, signal);
            waitpid(pid, &status, 0);
        }
        ::close(input);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kNoFilter)
            QSKIP("no seccomp filter may be set up here");
        QCOMPARE(during.size(), 1);
        QVERIFY2(during.front().startsWith("out.csv."), during.front().constData());
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), signal);
        QCOMPARE(namesIn(dir), QByteArrayList());
    }

    // --version tells the name and version; an option given twice must
    // mean the same both times.
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out"); // how standard output begins
        QTest::addColumn<QString>("told");
        const QByteArray version = "tizhi-score (Tizhi) " TIZHI_VERSION "\n";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << version << "";
        QTest::newRow("--version with a form")
            << QStringList{"--form", "33", "--version"} << 0 << version << "";
        QTest::newRow("--form twice, 33 and 66")
            << QStringList{"--form", "33", "--form", "66", "forms.csv"} << 2 << QByteArray()
            << "--form is given twice, as '33' and '66'";
        QTest::newRow("--form=66, then --form 33")
            << QStringList{"--form=66", "--form", "33", "forms.csv"} << 2 << QByteArray()
            << "--form is given twice";
        QTest::newRow("--form twice, 33 both times")
            << QStringList{"--form", "33", "--form=33", "forms.csv"} << 0
            << QByteArray("id,V_YANGXU_FIELD") << "";
        QTest::newRow("--encoding twice, gbk and utf-8")
            << QStringList{"--form", "33", "--encoding", "gbk", "--encoding", "utf-8", "forms.csv"}
            << 2 << QByteArray() << "--encoding is given twice, as 'gbk' and 'utf-8'";
        QTest::newRow("--encoding twice, utf8 and UTF-8")
            << QStringList{"--form", "33", "--encoding", "utf8", "--encoding=UTF-8", "forms.csv"}
            << 0 << QByteArray("id,V_YANGXU_FIELD") << "";
    }

    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(TIZHI_SCORE_PATH), arguments);
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitCode() == exitCode, qPrintable(err));
        QVERIFY2(process.readAllStandardOutput().startsWith(out), qPrintable(err));
        QVERIFY2(err.contains(told), qPrintable(err));
    }
};

TIZHI_REGISTER_TEST(TestScoreStreams);

#include "tst_score_streams.moc"
