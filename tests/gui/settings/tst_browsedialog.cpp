#include "gui/app/QtDialogs.h"
#include "gui/settings/OptionsWindow.h"
#include "support/Controls.h"
#include "support/Files.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The real file dialog of the browse button, on a file system that tells letter cases apart.
class TestBrowseDialog : public QObject {
    Q_OBJECT
private slots:
    void findsFs2000InAnyLetterCase_data();
    void findsFs2000InAnyLetterCase();
};

namespace {
const QStringList kFs2000 = {"FS2000.EXE", "Fs2000.exe", "fs2000.exe"};
const QStringList kOthers = {"fs2000.exe.bak", "fs2001.exe", "readme.txt"};
} // namespace

void TestBrowseDialog::findsFs2000InAnyLetterCase_data() {
    QTest::addColumn<QString>("pick"); // "" cancels the dialog
    QTest::newRow("upper case") << "FS2000.EXE";
    QTest::newRow("mixed case") << "Fs2000.exe";
    QTest::newRow("cancelled") << "";
}

void TestBrowseDialog::findsFs2000InAnyLetterCase() {
    QFETCH(QString, pick);
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    QSKIP("file names ignore letter case here; the patterns are passed on as written");
#endif
    QTemporaryDir dir;
    for (const QString& name : kFs2000 + kOthers)
        QVERIFY(testfiles::writeFile(dir.filePath(name), QByteArray()));
    QStringList listed;
    QStringList globMatches;
    QString shownFirst;
    const auto answer = controls::whenModal<QFileDialog>([&](QFileDialog* dialog) {
        shownFirst = dialog->directory().absolutePath();
        // What a native dialog does with the patterns: case-sensitive globs.
        const QString filter = dialog->nameFilters().value(0);
        const QString patterns = filter.mid(filter.lastIndexOf(QLatin1Char('(')) + 1).chopped(1);
        for (const QString& name : kFs2000 + kOthers) {
            for (const QString& pattern : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                if (QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch())
                    globMatches << name;
            }
        }
        // What Qt's own dialog lists.
        auto* model = dialog->findChild<QFileSystemModel*>();
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!model || !nameEdit) {
            dialog->reject();
            return;
        }
        // Listed once the model has read the whole folder, not when the first rows are there.
        bool loaded = false;
        const auto connection = connect(model, &QFileSystemModel::directoryLoaded, dialog, [&](const QString& path) {
            loaded = loaded || QDir(path) == QDir(dir.path());
        });
        dialog->setDirectory(dir.path());
        (void)QTest::qWaitFor([&] { return loaded && model->rowCount(model->index(dir.path())) >= 3; }, 3000);
        disconnect(connection);
        const QModelIndex folder = model->index(dir.path());
        for (int row = 0; row < model->rowCount(folder); ++row)
            listed << model->index(row, 0, folder).data().toString();
        if (pick.isEmpty()) {
            dialog->reject();
        } else {
            nameEdit->setText(pick);
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
    QtDialogs dialogs;
    const std::optional<QString> chosen = dialogs.openFile(nullptr, OptionsWindow::browseFilter(), dir.path());
    listed.sort();
    globMatches.sort();
    QCOMPARE(QDir(shownFirst), QDir(dir.path())); // the folder it was asked to show
    QCOMPARE(listed, kFs2000);
    QCOMPARE(globMatches, kFs2000);
    QCOMPARE(chosen, pick.isEmpty() ? std::optional<QString>() : std::optional<QString>(dir.filePath(pick)));
}

QTEST_MAIN(TestBrowseDialog)
#include "tst_browsedialog.moc"
