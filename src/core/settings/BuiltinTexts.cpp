#include "BuiltinTexts.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace builtin {
namespace {

// Every line "key<TAB>German<TAB>English" of the compiled-in sources; "#" starts a comment line.
QHash<QString, QString> load() {
    QHash<QString, QString> texts;
    const QDir sources(QStringLiteral(":/merovan/languages"));
    for (const QString& name : sources.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name)) {
        QFile file(sources.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() >= 2)
                texts.insert(QString::fromUtf8(fields[0]).toCaseFolded(), QString::fromUtf8(fields[1]));
        }
    }
    return texts;
}

} // namespace

std::optional<QString> text(const QString& key) {
    static const QHash<QString, QString> texts = load();
    const auto found = texts.constFind(key.toCaseFolded());
    if (found == texts.cend())
        return std::nullopt;
    return *found;
}

} // namespace builtin
