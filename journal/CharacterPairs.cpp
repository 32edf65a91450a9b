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

int CharacterCountWriter::Prepare(const sql::Connection& db) {
    const int rc = DayUpsert.Prepare(db, "INSERT INTO character_counts(day, sent, typed, count) "
                                         "VALUES(?1, ?2, ?3, 1) ON CONFLICT(day, sent, typed) "
                                         "DO UPDATE SET count = count + 1");
    if (rc != SQLITE_OK)
        return rc;
    return TotalUpsert.Prepare(db, "INSERT INTO character_totals(sent, typed, count) "
                                   "VALUES(?2, ?3, 1) ON CONFLICT(sent, typed) "
                                   "DO UPDATE SET count = count + 1");
}

int CharacterCountWriter::AddUtf8(std::string_view answered, std::string_view sentUtf8,
                                  std::string_view typedUtf8) {
    const std::string_view day = answered.substr(0, 10);
    for (const CharacterPair& pair : CharacterPairsOf(sentUtf8, typedUtf8)) {
        for (sql::Statement* upsert : {&DayUpsert, &TotalUpsert}) {
            upsert->Bind(1, day);
            upsert->Bind(2, pair.Sent);
            upsert->Bind(3, pair.Typed);
            const int rc = upsert->Step();
            upsert->Reset();
            if (rc != SQLITE_DONE)
                return rc;
        }
    }
    return SQLITE_OK;
}

} // namespace tonvik
