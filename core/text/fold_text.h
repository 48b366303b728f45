// Case and accent folding for comparison keys: upper case, the common Western
// European accents of A, E, I, O, U removed, and ß as S.
#pragma once

#include "core/text/text.h"

// Upper-cased and folded text of the same length.
TText FoldText(TTextView s);

// The same folding on bytes of the ANSI code page, byte by byte (no multi-byte
// decoding); the folded byte values are the Latin-1 positions of the accented
// letters. The result has as many bytes as s.
TBytes FoldBytes(TBytesView s);

// FoldBytes with an explicit 256-entry upper-case table. Under a UTF-8 page a byte
// from 0x80 on is only a piece of a character, so singleBytePage false leaves those
// bytes alone instead of folding them into invalid sequences.
TBytes FoldBytesWith(TBytesView s, const unsigned char *upperTable, bool singleBytePage);
