#pragma once

#include "journal/JournalReader.h"

#include <ostream>
#include <string>
#include <string_view>

namespace tonvik {

// The journal as CSV (RFC 4180: CRLF line ends, a header line, fields with a
// comma, a quote or a line break quoted, quotes doubled), in UTF-8.

// One field as it stands in a line.
std::string CsvField(std::string_view text);

// Text that a spreadsheet would take for a formula (it begins with =, +, -,
// @, a tab or a carriage return) with a ' put before it, as spreadsheets
// themselves mark text; anything else as it is. Every text column of the
// journal's CSV goes through it: answers and own callsigns are typed by the user.
std::string SpreadsheetSafe(std::string_view text);

// The header lines, without their line end.
extern const char* const AnswersCsvHeader;
extern const char* const ExercisesCsvHeader;
// The header alone, for a journal that does not exist yet.
bool WriteCsvHeader(const char* header, std::ostream& out);

// Every callsign answer, in the order given, with the columns
// exercise,started,own_call,number,sent,typed,right,errors,wpm,tone_hz,replays,points,response_ms
// (started: of the exercise; right: 1 or 0). False when the journal could not
// be read or out could not be written.
bool WriteAnswersCsv(const JournalReader& reader, std::ostream& out);

// One line per exercise of every kind, oldest first, with the columns
// exercise,kind,started,ended,end,own_call,wpm,pitch_hz,volume,speed_fixed,tone_fixed,
// letter_gap,word_gap,list_path,list_sha256,answers,right,points,max_wpm,characters
// (ended empty and end "stopped" for an exercise that was cut off).
bool WriteExercisesCsv(const JournalReader& reader, std::ostream& out);

} // namespace tonvik
