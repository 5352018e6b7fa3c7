#pragma once

// What the export tests share: a temporary FS2000 folder inside a test program folder, model
// variants whose content says which one they are, and the section written for three persons and baggage.

#include "support/Files.h"
#include "support/TestProgramFolder.h"

#include "core/common/AtomicFile.h"
#include "core/export/ExportWriter.h"
#include "core/settings/LanguageStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace exporttest {

using testfiles::isTemporaryFile;
using testfiles::modeOf;
using testfiles::readFile;
using testfiles::snapshot;
using testfiles::temporaryFiles;
using testfiles::writeFile;

// The program's German text of `key`, from the database every test folder starts with.
inline QString germanText(const char* key) {
    return tryLanguageText(QStringLiteral(MEROVAN_STAGED_FOLDER "/Data/languages/german.crf"), QString::fromLatin1(key))
        .value_or(QString());
}

inline QByteArray blanks(int n) {
    return QByteArray(n, ' ');
}

// An aircraft.cfg in the usual layout: entries, general data, the weight-and-balance section in
// the middle, engine and gear after it.
inline const QByteArray kHead = "[fltsim.0]\r\ntitle=Nerova TQ 58\r\nsim=TQ58-161\r\n\r\n[General]\r\neditable=1\r\n";
inline const QByteArray kOldSection = "\r\n[WEIGHT_AND_BALANCE]\r\nempty_weight = 1532\r\nstation_load.0 = 176, 0.4, "
                                      "-1.7, 0.0\r\nmax_gross_weight = 2332\r\n\r\n";
inline const QByteArray kTail = "[GeneralEngineData]\r\nengine_type = 0\r\n\r\n[contact_points]\r\npoint.0 = 1, 5.9, "
                                "0.0, -4.3\r\n";
inline const QByteArray kCfg = kHead + kOldSection + kTail;
// What an export keeps of kOldSection: the lines it does not write itself.
inline const QByteArray kOldSectionKept = "max_gross_weight = 2332\r\n\r\n";

// kCfg after an export that wrote `section` (which starts with its empty line).
inline QByteArray exportedCfg(const QByteArray& section) {
    return kHead + section + kOldSectionKept + kTail;
}

// kCfg with a weight-and-balance section holding the given first values of station_load.0 to .4
// ("-" leaves a station's line out), as the take-over reads it.
inline QByteArray cfgWith(const QByteArrayList& values) {
    QByteArray section = "[WEIGHT_AND_BALANCE]\r\nmax_gross_weight = 2332\r\n";
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values[i] != "-")
            section += "station_load." + QByteArray::number(i) + " =   " + values[i] + ", 0.4, -1.7, 0.0 // x\r\n";
    }
    return kHead + section + kTail;
}

// The section for pilot 80 kg, co-pilot 75 kg, left passenger seat free, right passenger 60 kg and
// 20 kg of baggage, put together line by line (every run of blanks counted out).
inline QByteArray threePersonsSection() {
    return "\r\n"
           "[WEIGHT_AND_BALANCE]\r\n"
           "\r\n" +
           ("empty_weight = 1532" + blanks(13) + "// (pounds) kg=>lbs x 2,2046\r\n") +
           ("reference_datum_position" + blanks(5) + "=" + blanks(3) + "0.0," + blanks(3) + "0, 0\r\n") +
           ("empty_weight_CG_position" + blanks(5) + "=" + blanks(3) + "0.0," + blanks(3) + "0, 0\r\n") +
           ("station_load.0 =" + blanks(3) + "176" + ",  0.4, -1.7, 0.0" + blanks(7) + "//Pilot Mirk" + blanks(3) +
            "Weight (lbs)\r\n") +
           ("station_load.1 =" + blanks(3) + "165" + ", 0.4, 1.7, 0.0" + blanks(7) + "//Co-Pilot" + blanks(5) +
            "Weight (lbs)\r\n") +
           ("station_load.2 =" + blanks(3) + " 0 " + ", -3.0, -1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) +
            "Weight (lbs)\r\n") +
           ("station_load.3 =" + blanks(3) + "132" + ", -3.0, 1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) +
            "Weight (lbs)\r\n") +
           ("station_load.4 =" + blanks(3) + "44" + ", -6.5,  0.0, 0.0" + blanks(11) + "//Baggage" + blanks(6) +
            "Weight (lbs)\r\n");
}

inline QByteArray variantContent(int n) {
    return "model variant " + QByteArray::number(n);
}
inline const QByteArray kInstalledModel = "model as installed";
// A demo stand-in as the Linux program folder and the demo FS2000 folder hold them.
inline const QByteArray kStandIn = "Merovan demo stand-in for a model variant of the TQ 58, not a real FS2000 "
                                   "model.\nVariant 4: the pilot, the co-pilot and the right passenger shown.\n";

// What the first export records of the owner, group and permissions of `cfg` and `model` (empty:
// no model) as they are now, in the backups' "attributes.installed"; null where files have no
// such attributes (Windows), and no record is kept.
inline QByteArray attributesRecord(const QString& cfg, const QString& model) {
#ifdef Q_OS_UNIX
    const auto line = [](const char* name, const QString& path) {
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return QByteArray("?");
        return QByteArray(name) + '\t' + QByteArray::number(info.st_mode & 07777, 8).rightJustified(4, '0') + '\t' +
               QByteArray::number(info.st_uid) + '\t' + QByteArray::number(info.st_gid) + "\r\n";
    };
    return "# Owner, group and permissions of the files as installed, kept by Merovan.\r\n" +
           line("aircraft.cfg", cfg) + (model.isEmpty() ? QByteArray() : line("TQ58-161.mdl", model));
#else
    Q_UNUSED(cfg);
    Q_UNUSED(model);
    return {};
#endif
}

// A test program folder with five recognisable model variants and an FS2000 folder "FS2000/"
// inside it, which options.cfg names.
class Fs2000 {
public:
    explicit Fs2000(TestProgramFolder& pf, bool writeOptions = true) {
        m_root = pf.path() + QStringLiteral("FS2000/");
        QDir().mkpath(m_root + QStringLiteral("Aircraft"));
        writeFile(m_root + QStringLiteral("fs2000.exe"), QByteArray());
        for (int n = 1; n <= 5; ++n)
            pf.write(QStringLiteral("Models/%1.mdl").arg(n), variantContent(n));
        if (writeOptions)
            pf.write(QStringLiteral("options.cfg"), m_root.toLocal8Bit() + "\r\n");
    }

    QString root() const { return m_root; }
    QString aircraft() const { return m_root + QStringLiteral("Aircraft/"); }

    // A copy of the aircraft: its aircraft.cfg and, unless `model` is null, Model/TQ58-161.mdl.
    // Returns the path of the aircraft.cfg.
    QString addCopy(const QString& folder, const QByteArray& cfg = kCfg, const QByteArray& model = kInstalledModel,
                    const QString& cfgName = QStringLiteral("aircraft.cfg"),
                    const QString& modelPath = QStringLiteral("Model/TQ58-161.mdl")) const {
        const QString path = aircraft() + folder + QLatin1Char('/') + cfgName;
        writeFile(path, cfg);
        if (!model.isNull())
            writeFile(aircraft() + folder + QLatin1Char('/') + modelPath, model);
        return path;
    }

    QString model(const QString& folder) const { return aircraft() + folder + QStringLiteral("/Model/TQ58-161.mdl"); }
    // One of the files the first export keeps in the copy's own backups folder:
    // "aircraft.cfg.installed", "TQ58-161.mdl.installed", "TQ58-161.mdl.absent".
    QString backup(const QString& folder, const QString& name) const {
        return aircraft() + folder + QStringLiteral("/merovan-installed/") + name;
    }
    QString cfg(const QString& folder) const { return aircraft() + folder + QStringLiteral("/aircraft.cfg"); }

private:
    QString m_root;
};

// File operations that fail as a full disk does where data is to go to `dataTarget`, or a copy
// (replacing, backing up, restoring) to `copyTarget`, and otherwise do the real thing.
inline fileplan::FileOps failingFor(const QString& dataTarget, const QString& copyTarget) {
    const auto full = [](QString* reason) {
        *reason = QStringLiteral("No space left on device");
        return false;
    };
    fileplan::FileOps ops = fileplan::FileOps::atomic();
    ops.replaceWithData = [=](const QString& path, const QByteArray& data, QString* reason) {
        return path == dataTarget ? full(reason) : atomicfile::replaceWithData(path, data, reason);
    };
    const auto copy = [=](const fileplan::FileOps::Copy& real) -> fileplan::FileOps::Copy {
        return [=](const QString& source, const QString& target, QString* reason) {
            return target == copyTarget ? full(reason) : real(source, target, reason);
        };
    };
    ops.replaceWithCopy = copy(atomicfile::replaceWithCopy);
    ops.createCopy = copy(atomicfile::createCopy);
    ops.restoreCopy = [=](const QString& source, const QString& target, const atomicfile::Attributes& installed,
                          QString* reason) {
        return target == copyTarget ? full(reason) : atomicfile::restoreCopy(source, target, installed, reason);
    };
    return ops;
}

} // namespace exporttest
