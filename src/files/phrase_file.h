#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lookup/phrase_table.h"

namespace talvorine::files {

// The rows of a phrase list file's bytes: lines end at CR LF, a lone CR or a lone LF; a NUL
// byte ends the text; a last line without a line end is a row, a line end at the very end adds
// none. Rows are kept exactly as they stand (no trimming, no check for "=").
std::vector<std::string> SplitPhraseFileText(std::string_view bytes);

// The rows of the phrase list file at path (cp932). While it reads, the file is held against
// other writers where the system allows it (Windows). Throws Error "ファイル %s は開けません"
// when the file cannot be opened or read.
std::vector<std::string> ReadPhraseFileLines(std::string_view path);

// The table of a phrase list file's bytes, split as SplitPhraseFileText does. The rows stay in
// the bytes' own buffer (each moved down over the line ends before it): nothing is copied.
lookup::PhraseTable PhraseTableFromFileText(std::string bytes);

// Replaces every row of table by the rows of the file at path. On failure (the message of
// ReadPhraseFileLines) the table stays as it was.
void LoadPhraseFile(std::string_view path, lookup::PhraseTable& table);

// The bytes a phrase list file holds for these rows: each row followed by CR LF.
std::string JoinPhraseFileText(const std::vector<std::string>& rows);

// Writes table to path in blocks of about a megabyte, replacing the file in one step: a save that
// fails leaves the previous file as it was. Throws Error "ファイル %s を作成できません" when no
// file can be created there (missing folder, read-only file) and "ストリームへの書き込みエラー"
// when the writing stops short (disk full).
void SavePhraseFile(std::string_view path, const lookup::PhraseTable& table);

}  // namespace talvorine::files
