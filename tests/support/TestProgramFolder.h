#pragma once

#include "ReplayRandom.h"
#include "ScriptedDialogs.h"
#include "gui/app/AppContext.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A complete program folder in a temporary directory: a copy of the one the build lays out (but its
// executable), with strt.cfg holding 0 unless a test says otherwise. Comes with scripted dialogs, a
// replaying random source and a context pointing at all three.
class TestProgramFolder {
public:
    TestProgramFolder();

    bool isValid() const { return m_ok; }
    QString path() const { return m_context.programFolder; }
    QString file(const QString& relative) const { return m_context.path(relative); }

    void write(const QString& relative, const QByteArray& content) const;
    QByteArray read(const QString& relative) const;
    void remove(const QString& relative) const;

    AppContext& context() { return m_context; }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    ReplayRandom& random() { return m_random; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    ReplayRandom m_random;
    AppContext m_context;
    bool m_ok = false;
};

// Runs `sql` on the SQLite database at `path` (made when it is not there); false when that fails.
bool runSql(const QString& path, const char* sql);
