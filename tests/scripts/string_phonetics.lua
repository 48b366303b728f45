-- Phonetic codes, edit distance and byte normalisation of the string library.

local function check(actual, expected, what)
  assert(actual == expected, what .. ": expected " .. string.format('%q', tostring(expected)) ..
         ", got " .. string.format('%q', tostring(actual)))
end

-- colognephonetic
check(string.colognephonetic(''), '', "empty text")
check(string.colognephonetic('Wasserkocher'), '38747', "a word")
check(string.colognephonetic('Saite'), string.colognephonetic('Seite'), "alike words")
check(string.colognephonetic('Bäckerei-Zubehör'), '147817', "umlauts are folded")
check(string.colognephonetic('Straße'), '8278', "sharp s")
check(string.colognephonetic('Gogo'), '4', "equal codes merge across a dropped 0")
check(string.colognephonetic('Ei Ohr'), '0 7', "words are separated by one blank")
check(string.colognephonetic('  Ente '), '062 ', "leading blanks dropped, one trailing kept")
check(string.colognephonetic(1234), '', "digits give nothing")

-- metaphone
check(string.metaphone(''), '', "empty text")
check(string.metaphone('1234'), '', "no letters")
check(string.metaphone('knight'), 'NT', "silent K")
check(string.metaphone('thumb'), '0M', "TH")
check(string.metaphone('phone'), 'FN', "PH")
check(string.metaphone('Müller'), 'MLR', "umlauts are folded")

-- phonetic
check(string.phonetic('Schmied'), 'SHMIT', "first rule set by default")
check(string.phonetic('Schmied', true), 'SHMIT', "first rule set")
check(string.phonetic('Schmied', false), 'ZNIT', "second rule set")
check(string.phonetic('Schmied', nil), 'ZNIT', "nil counts as false")
check(string.phonetic('über'), 'ÜBA', "umlaut kept in the first set")
check(string.phonetic('über', false), 'IBA', "umlaut folded in the second set")
check(string.phonetic(''), '', "empty text")
check(string.phonetic('1,,2'), '1 2', "symbols pass through")

-- levenshtein
check(string.levenshtein('kitten', 'sitting'), 3, "kitten")
check(string.levenshtein('flaw', 'lawn'), 2, "flaw")
check(string.levenshtein('ab', 'ba'), 2, "a swap counts twice")
check(string.levenshtein('Müller', 'MULLER'), 0, "case and accents folded")
check(string.levenshtein('Café', 'cafe'), 0, "acute accent folded")
check(string.levenshtein('Straße', 'Strasse'), 1, "sharp s folds to one S")
check(string.levenshtein('', 'abc'), 3, "empty first")
check(string.levenshtein('abc', ''), 3, "empty second")
check(string.levenshtein('', ''), 0, "both empty")
check(math.type(string.levenshtein('a', 'b')), 'integer', "an integer result")
check(string.levenshtein(123, 124), 1, "numbers are read as strings")
do
  local ok, e = pcall(string.levenshtein, 'a')
  assert(not ok and e:find("bad argument #2"), "b is required: " .. tostring(e))
  ok, e = pcall(string.levenshtein, nil, 'a')
  assert(not ok and e:find("bad argument #1"), "a is required: " .. tostring(e))
end

-- normalize works on bytes: under UTF-8 only the ASCII letters change
check(string.normalize('Crème'), 'CRèME', "bytes from 0x80 stay")
check(string.normalize('abc xyz 123'), 'ABC XYZ 123', "ASCII upper-cased")
check(string.normalize(''), '', "empty text")
check(#string.normalize('Größe'), #'Größe', "the length in bytes is kept")
check(string.normalize('a\0b'), 'A\0B', "zero bytes are kept")
check(string.normalize('\xFF\xE4'), '\xFF\xE4', "invalid UTF-8 bytes are kept")

-- argument errors and result counts
for _, name in ipairs({'colognephonetic', 'metaphone', 'phonetic', 'levenshtein', 'normalize'}) do
  local ok, e = pcall(string[name])
  assert(not ok and e:find("bad argument #1"), name .. " without s: " .. tostring(e))
  ok, e = pcall(string[name], {})
  assert(not ok and e:find("bad argument #1"), name .. " with a table: " .. tostring(e))
  check(select('#', string[name]('a', 'b')), 1, name .. " gives one result")
end
check(('Wasserkocher'):colognephonetic(), '38747', "method form")
