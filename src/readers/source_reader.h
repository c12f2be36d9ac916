// The reader `memorizza_dati`: the route half, then the train half, with one handler that
// turns any failure while reading into fault 25.
#pragma once

#include <cstdint>
#include <string>

#include "model/form1.h"

namespace sb {

class FieldReader;

void memorizza_dati(Form1& form);

// Working state shared by the two halves.
struct ReaderContext {
  int32_t boardRow = kFirstBoardRow;  // next row for an indication board text
  SourceRef where;                    // line of the key under way, for fault 25
};

// Each half returns false when the procedure ends at a fault.
bool ReadRouteText(Form1& form, ReaderContext& ctx);
bool ReadTrainText(Form1& form, ReaderContext& ctx);

void progressive_ordina(Form1& form);
void memo_montagna(Form1& form, int32_t& inizio, int32_t& fine, int32_t& tipo,
                   SourceRef where = {});
void memo_indicatori_v_max(Form1& form, int32_t posizione, int32_t& vas, int32_t& vbs,
                           int32_t& vcs, int32_t& strisces, int32_t& vad, int32_t& vbd,
                           int32_t& vcd, int32_t& strisced, SourceRef where);
void memo_segnale(Form1& form, int32_t posizione, int32_t sx, int32_t s1, int32_t s2,
                  int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                  int32_t tempo, SourceRef where);
void memo_rallentamento(Form1& form, int32_t posizione, int32_t v, int32_t l, int32_t f_tt,
                        int32_t f_ta, int32_t d_v, SourceRef where);

// Helpers shared by the halves.
bool ContainsNoCase(const std::string& key, const char* word);
bool Contains(const std::string& key, const char* word);
uint8_t ToByte(int64_t value, const char* what);    // fault 25 outside 0..255
int16_t ToInt16(int64_t value, const char* what);   // fault 25 outside 16 bits
int32_t ToInt32(int64_t value, const char* what);   // fault 25 outside 32 bits
// Closes the source text and deletes it, when the run deletes its sources.
void DeleteSourceText(Form1& form, const std::string& path);
// Warns about a line that matched no key; `keys` are the keys of that text.
void WarnUnknownKey(Form1& form, const FieldReader& in, const std::string& key, SourceRef where,
                    const char* const* keys, size_t key_count);
// Warns when the values of a line were taken from a later line.
void WarnShortLine(Form1& form, const FieldReader& in, SourceRef where, const std::string& key);

}  // namespace sb
