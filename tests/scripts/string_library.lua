-- The string library as a whole: registration, method form, the shared argument
-- conventions and the number of results.

local names = {'append', 'colognephonetic', 'compare', 'comparewildcard', 'delete',
               'deletefirst', 'deletelast', 'endswith', 'indexof', 'issame', 'levenshtein',
               'metaphone', 'normalize', 'phonetic', 'split', 'splitfirst', 'splitlast',
               'startswith', 'tokenlist', 'tokenlistex', 'translate', 'trim', 'trimleft',
               'trimright'}
assert(#names == 24)
for _, name in ipairs(names) do
  assert(type(string[name]) == 'function', name .. " is registered")
  assert(type(('x')[name]) == 'function', name .. " is reachable in method form")
end
-- the standard functions stay
for _, name in ipairs({'byte', 'char', 'find', 'format', 'gsub', 'len', 'lower', 'upper',
                       'rep', 'reverse', 'sub', 'pack', 'unpack'}) do
  assert(type(string[name]) == 'function', "standard " .. name .. " stays")
end

-- method form gives the same results as the table form
assert(('  x '):trim() == string.trim('  x '))
assert(('abc'):startswith('AB'))
assert(('a.b.c'):splitlast('.') == 'a.b')
assert(#('a,b'):split(',') == 2)
assert(('abc'):delete(2) == 'ac')

-- results: one value each, two for a split at a separator
local oneResult = {
  {'append', 'a', 'b'}, {'colognephonetic', 'a'}, {'compare', 'a', 'b'},
  {'comparewildcard', 'a', '*'}, {'delete', 'abc'}, {'deletefirst', 'abc', 'a'},
  {'deletelast', 'abc', 'c'}, {'endswith', 'abc', 'c'}, {'indexof', 'a', 'a|b'},
  {'indexof', 'z', 'a|b'}, {'issame', 'a', 'a'}, {'levenshtein', 'a', 'b'},
  {'metaphone', 'a'}, {'normalize', 'a'}, {'phonetic', 'a'}, {'split', 'a b'},
  {'splitfirst', 'a', ''}, {'splitlast', 'a', ''}, {'startswith', 'a', 'a'},
  {'tokenlist', 'a b'}, {'tokenlistex', 'a b'}, {'translate', 'a', 'b', 'a'},
  {'trim', ' a '}, {'trimleft', ' a '}, {'trimright', ' a '},
}
for _, call in ipairs(oneResult) do
  local n = select('#', string[call[1]](table.unpack(call, 2)))
  assert(n == 1, call[1] .. " gives one result, got " .. n)
end
assert(select('#', string.splitfirst('a=b', '=')) == 2)
assert(select('#', string.splitlast('a', '=')) == 2)

-- surplus arguments are ignored
assert(string.trim(' a ', 'surplus', {}, print) == 'a')
assert(string.levenshtein('a', 'b', 'c') == 1)
assert(string.metaphone('phone', true) == 'FN')
assert(string.normalize('a', 1, 2) == 'A')

-- flags: absent gives the default, nil false, a non-boolean true (0 and '' too)
assert(string.issame('A', 'a') == true)
assert(string.issame('A', 'a', nil) == false)
assert(string.issame('A', 'a', 0) == true)
assert(string.issame('A', 'a', '') == true)
assert(string.issame('A', 'a', {}) == true)
assert(string.issame('A', 'a', false) == false)
assert(string.comparewildcard('a', '[a]', true, nil) == false, "nil extended is false")
assert(string.comparewildcard('a', '[a]', true, 'yes') == true, "a string extended is true")

-- zero bytes survive the conversion to text and back
assert(string.trim(' a\0b ') == 'a\0b')
assert(string.split('a\0b', '\0')[2] == 'b')
assert(string.append('a\0', '\0b', '\0') == 'a\0\0\0b')

-- the error names the function
local ok, e = pcall(string.startswith)
assert(not ok and e:find("bad argument #1") and e:find("string expected"), tostring(e))
ok, e = pcall(function() return ('x'):indexof() end)
assert(not ok and e:find("bad argument #1") and e:find("indexof"), tostring(e))
