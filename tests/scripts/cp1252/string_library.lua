-- The string library under a single-byte code page (Windows-1252): every byte is one
-- character, umlauts compare and fold as letters, normalize folds the accent bytes.

local function check(actual, expected, what)
  assert(actual == expected, what .. ": expected " .. string.format('%q', tostring(expected)) ..
         ", got " .. string.format('%q', tostring(actual)))
end

-- positions and lengths count bytes, which are characters here
check(string.delete('a\xE4b', 2), 'ab', "delete an umlaut")
check(string.delete('\xE4\xF6\xFC', -1), '\xE4\xF6', "from the end")
check(string.delete('\xE4\xF6\xFC', 2, 99), '\xE4', "to the end")
check(#string.split('\xE4\xF6\xFC', ''), 3, "single characters")
check(string.split('\xE4\xF6\xFC', '')[2], '\xF6', "the second character")
check(string.split('a\xA7b', '\xA7')[2], 'b', "a non-ASCII separator")

-- locale comparison under the German collation
check(string.issame('\xC4rger', '\xE4rger'), true, "umlaut case ignored")
check(string.issame('\xC4rger', '\xE4rger', false), false, "umlaut case counts")
check(string.compare('\xE4pfel', 'birne'), -1, "a umlaut sorts with a, not after z")
check(string.compare('\xDCbung', 'Zebra'), -1, "U umlaut sorts before Z")
check(string.startswith('\xDCbung', '\xFC'), true, "umlaut prefix ignoring case")
check(string.endswith('Gr\xFC\xDF', '\xDF'), true, "sharp s suffix")
check(string.deletefirst('\xC4pfel', '\xE4'), 'pfel', "umlaut prefix removed")
check(string.deletelast('Stra\xDFe', 'SSE'), 'Stra\xDFe', "the tail has as many characters as the suffix")
check(string.indexof('\xC4', '\xE4|b'), 1, "umlaut in a text list")
check(string.indexof('\xC4', {'a', '\xE4'}, false), nil, "umlaut in a table, with case")

-- case folding of the code page
check(string.splitfirst('a\xE4b', '\xC4'), 'a', "split ignores umlaut case")
check(select(2, string.splitfirst('a\xE4b', '\xC4')), 'b', "the part after the umlaut")
check(string.translate('\xE4\xF6\xFC', 'aou', '\xC4\xD6\xDC'), 'aou', "translate umlauts")
check(string.translate('\xE4', '', ''), '\xC4', "empty search upper-cases umlauts")
check(string.comparewildcard('\xE4rger.txt', '\xC4*.TXT'), true, "wildcard ignores umlaut case")
check(string.comparewildcard('\xE4', '[\xC0-\xDD]', true, true), true, "set of upper umlauts")
check(string.trim('\xA0x\xA0'), '\xA0x\xA0', "no-break space is not trimmed")

-- quotes from the code page
local t = string.tokenlistex('a \xABb c\xBB', ' ', '\xAB', '\xBB')
check(#t, 2, "guillemet quotes")
check(t[2], 'b c', "guillemets removed")

-- phonetics with umlauts and sharp s
check(string.colognephonetic('B\xE4ckerei-Zubeh\xF6r'), '147817', "cologne with umlauts")
check(string.colognephonetic('Stra\xDFe'), '8278', "cologne with sharp s")
check(string.metaphone('M\xFCller'), 'MLR', "metaphone folds the umlaut")
check(string.phonetic('\xFCber'), '\xDCBA', "phonet first set keeps the umlaut")
check(string.phonetic('\xFCber', false), 'IBA', "phonet second set folds the umlaut")
check(string.levenshtein('M\xFCller', 'MULLER'), 0, "distance folds umlaut and case")
check(string.levenshtein('Caf\xE9', 'cafe'), 0, "distance folds the acute accent")
check(string.levenshtein('Stra\xDFe', 'Strasse'), 1, "sharp s counts as one S")
check(string.levenshtein('\xCB', 'E'), 1, "E diaeresis is not folded")

-- normalize folds the accent bytes of the code page
check(string.normalize('Gr\xF6\xDFe'), 'GROSE', "umlaut and sharp s")
check(string.normalize('Cr\xE8me br\xFBl\xE9e'), 'CREME BRULEE', "French accents")
check(string.normalize('\xF1'), '\xD1', "n tilde is upper-cased, not folded")
check(string.normalize('\xC0\xC1\xC2\xC4\xD2\xD3\xD4\xD6\xD9\xDA\xDB\xDC\xC8\xC9\xCA\xCC\xCD\xCE'),
      'AAAAOOOOUUUUEEEIII', "the whole folding table")
check(#string.normalize('\xE4\xF6\xFC\xDF'), 4, "one byte per byte")
