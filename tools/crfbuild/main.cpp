// Builds a language database (table Entry: Variable, Wert) from the program's text sources.
//
//   merovan-crfbuild <output.crf> <column> <source.tsv>...
//
// Each source line is "key<TAB>German text<TAB>English text"; blank lines and lines starting
// with "#" are skipped. <column> is 1 for German, 2 for English. A key given twice, a line with
// the wrong number of columns or an empty text stops the build.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return parts;
        start = tab + 1;
    }
}

bool exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::cerr << "merovan-crfbuild: " << (error ? error : "sqlite error") << '\n';
        sqlite3_free(error);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: merovan-crfbuild <output.crf> <column 1|2> <source.tsv>...\n";
        return 2;
    }
    const std::string output = argv[1];
    const int column = std::stoi(argv[2]);
    const std::string temporary = output + ".tmp";
    std::remove(temporary.c_str());

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temporary.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::cerr << "merovan-crfbuild: cannot create " << temporary << '\n';
        return 1;
    }
    bool ok = exec(db, "PRAGMA journal_mode=OFF; BEGIN;") &&
              exec(db, "CREATE TABLE Entry (Variable TEXT NOT NULL, Wert TEXT)");
    sqlite3_stmt* insert = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO Entry (Variable, Wert) VALUES (?1, ?2)", -1, &insert, nullptr) ==
                   SQLITE_OK;

    std::set<std::string> keys;
    for (int i = 3; ok && i < argc; ++i) {
        std::ifstream in(argv[i]);
        if (!in) {
            std::cerr << "merovan-crfbuild: cannot read " << argv[i] << '\n';
            ok = false;
            break;
        }
        std::string line;
        int number = 0;
        while (ok && std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == '#')
                continue;
            const auto parts = split(line);
            const std::string where = std::string(argv[i]) + ":" + std::to_string(number);
            if (parts.size() != 3 || parts[0].empty() || parts[static_cast<std::size_t>(column)].empty()) {
                std::cerr << where << ": expected key<TAB>German<TAB>English\n";
                ok = false;
            } else if (!keys.insert(parts[0]).second) {
                std::cerr << where << ": key " << parts[0] << " given twice\n";
                ok = false;
            } else {
                const std::string& text = parts[static_cast<std::size_t>(column)];
                sqlite3_bind_text(insert, 1, parts[0].c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
                ok = sqlite3_step(insert) == SQLITE_DONE;
                sqlite3_reset(insert);
            }
        }
    }
    sqlite3_finalize(insert);
    ok = ok && exec(db, "COMMIT;");
    sqlite3_close(db);
    if (!ok || std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::cerr << "merovan-crfbuild: " << output << " not written\n";
        return 1;
    }
    return 0;
}
