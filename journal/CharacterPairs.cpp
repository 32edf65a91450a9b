#include "journal/CharacterPairs.h"

#include <algorithm>

namespace tonvik {
namespace {

// The code points of valid UTF-8 text, each as its own bytes.
std::vector<std::string_view> CodePoints(std::string_view text) {
    std::vector<std::string_view> points;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        length = std::min(length, text.size() - at);
        points.push_back(text.substr(at, length));
        at += length;
    }
    return points;
}

} // namespace

std::vector<CharacterPair> CharacterPairsOf(std::string_view sentUtf8, std::string_view typedUtf8) {
    const auto sent = CodePoints(sentUtf8);
    const auto typed = CodePoints(typedUtf8);
    std::vector<CharacterPair> pairs;
    pairs.reserve(sent.size());
    for (size_t k = 0; k < sent.size(); ++k) {
        if (sent[k] == " ")
            continue;
        pairs.push_back({std::string(sent[k]), k < typed.size() ? std::string(typed[k]) : ""});
    }
    return pairs;
}

std::string_view CountSourceName(CountSource source) {
    switch (source) {
    case CountSource::Lesson:
        return "lesson";
    case CountSource::Recognition:
        return "recognition";
    default:
        return "callsign";
    }
}

int CharacterCountWriter::Prepare(const sql::Connection& db) {
    const int rc = DayUpsert.Prepare(
        db, "INSERT INTO character_counts(day, source, clean, sent, typed, count) "
            "VALUES(?1, ?4, ?5, ?2, ?3, 1) "
            "ON CONFLICT(day, source, clean, sent, typed) "
            "DO UPDATE SET count = count + 1");
    if (rc != SQLITE_OK)
        return rc;
    return TotalUpsert.Prepare(db,
                               "INSERT INTO character_totals(source, clean, sent, typed, count) "
                               "VALUES(?4, ?5, ?2, ?3, 1) "
                               "ON CONFLICT(source, clean, sent, typed) "
                               "DO UPDATE SET count = count + 1");
}

int CharacterCountWriter::AddUtf8(std::string_view answered, std::string_view sentUtf8,
                                  std::string_view typedUtf8, CountSource source, bool clean) {
    return AddPairs(answered, CharacterPairsOf(sentUtf8, typedUtf8), source, clean);
}

int CharacterCountWriter::AddPairs(std::string_view answered,
                                   const std::vector<CharacterPair>& pairs, CountSource source,
                                   bool clean) {
    const std::string_view day = answered.substr(0, 10);
    for (const CharacterPair& pair : pairs) {
        for (sql::Statement* upsert : {&DayUpsert, &TotalUpsert}) {
            upsert->Bind(1, day);
            upsert->Bind(2, pair.Sent);
            upsert->Bind(3, pair.Typed);
            upsert->Bind(4, CountSourceName(source));
            upsert->Bind(5, clean);
            const int rc = upsert->Step();
            upsert->Reset();
            if (rc != SQLITE_DONE)
                return rc;
        }
    }
    return SQLITE_OK;
}

void CharacterTally::Add(std::string_view answered, const std::vector<CharacterPair>& pairs,
                         CountSource source, bool clean) {
    const std::string day(answered.substr(0, 10));
    for (const CharacterPair& pair : pairs)
        ++Days[Key{day, source, clean, pair.Sent, pair.Typed}];
}

int CharacterTally::Write(const sql::Connection& db) const {
    sql::Statement day;
    sql::Statement total;
    int rc = day.Prepare(db, "INSERT INTO character_counts(day, source, clean, sent, typed, "
                             "count) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    if (rc == SQLITE_OK)
        rc = total.Prepare(db, "INSERT INTO character_totals(source, clean, sent, typed, count) "
                               "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(source, clean, sent, typed) "
                               "DO UPDATE SET count = count + ?5");
    for (auto row = Days.begin(); rc == SQLITE_OK && row != Days.end(); ++row) {
        const auto& [date, source, clean, sent, typed] = row->first;
        day.Bind(1, date);
        day.Bind(2, CountSourceName(source));
        day.Bind(3, clean);
        day.Bind(4, sent);
        day.Bind(5, typed);
        day.Bind(6, row->second);
        total.Bind(1, CountSourceName(source));
        total.Bind(2, clean);
        total.Bind(3, sent);
        total.Bind(4, typed);
        total.Bind(5, row->second);
        rc = day.Step();
        day.Reset();
        if (rc == SQLITE_DONE) {
            rc = total.Step();
            total.Reset();
        }
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    return rc;
}

} // namespace tonvik
