-- Splitting and tokenizing of the string library.

local lists = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/lists.lua')
local checkList = lists.check

local function checkPair(what, ea, eb, a, b)
  assert(a == ea and b == eb, what .. ": expected " .. string.format('%q %q', ea, eb) ..
         ", got " .. string.format('%q %q', tostring(a), tostring(b)))
end

-- split
checkList(string.split('a,,b', ','), {'a', '', 'b'}, "empty tokens are kept")
checkList(string.split('', ','), {''}, "the empty text gives one empty token")
checkList(string.split('abc', ''), {'a', 'b', 'c'}, "empty seps gives the characters")
checkList(string.split('', ''), {}, "empty text and empty seps")
checkList(string.split('a b  c'), {'a', 'b', '', 'c'}, "the default separator is a blank")
checkList(string.split('a,b;c', ',;'), {'a', 'b', 'c'}, "any character of seps")
checkList(string.split('a,', ','), {'a', ''}, "a final empty token is kept")
checkList(string.split(',a', ','), {'', 'a'}, "a leading empty token is kept")
checkList(string.split('a,b', nil), {'a,b'}, "nil seps is the default blank")
checkList(string.split(123, ''), {'1', '2', '3'}, "a number is split as its string form")
-- a character outside the basic plane stays whole
checkList(string.split('a\u{1F600}b', ''), {'a', '\u{1F600}', 'b'}, "surrogate pair")
checkList(string.split('\u{E4}\u{F6}', ''), {'\u{E4}', '\u{F6}'}, "characters, not bytes")
assert(select('#', string.split('a')) == 1, "split gives one result")

-- splitfirst / splitlast
checkPair("trimmed parts", 'key', 'value', string.splitfirst(' key = value ', '='))
checkPair("no separator", 'abc', '', string.splitfirst('abc', ','))
checkPair("no separator, trimmed", 'abc', '', string.splitfirst(' abc ', ','))
checkPair("no separator, untrimmed", ' abc ', '', string.splitfirst(' abc ', ',', true, false))
do
  local n = select('#', string.splitfirst('abc', ''))
  assert(n == 1, "empty sep gives one result, got " .. n)
  assert(string.splitfirst(' abc ', '') == ' abc ', "empty sep gives s unchanged")
  assert(select('#', string.splitlast('abc', '')) == 1, "splitlast with empty sep")
  assert(select('#', string.splitfirst('abc', ',')) == 2, "two results without occurrence")
  assert(select('#', string.splitfirst('a,b', ',')) == 2, "two results")
end
checkPair("last occurrence", 'a.b', 'c', string.splitlast('a.b.c', '.'))
checkPair("last occurrence of two characters", 'a--b', 'c', string.splitlast('a--b--c', '--'))
checkPair("first occurrence of two characters", 'a', 'b--c', string.splitfirst('a--b--c', '--'))
checkPair("default separator", 'one', 'two three', string.splitfirst('one two three'))
checkPair("separator ignoring case", 'a', 'b', string.splitfirst('aXb', 'x'))
checkPair("separator with case", 'aXb', '', string.splitfirst('aXb', 'x', false))
checkPair("nil counts as false", 'aXb', '', string.splitfirst('aXb', 'x', nil))
checkPair("trimafter only", ' k ', 'v', string.splitfirst(' k = v ', '=', true, false))
checkPair("trimbefore only", 'k', ' v ', string.splitfirst(' k = v ', '=', true, true, false))
checkPair("no trim", ' a = b ', ' c ', string.splitlast(' a = b = c ', '=', true, false, false))

-- tokenlist
checkList(string.tokenlist(' a  b ', ' ', true, true, true), {'a', 'b'}, "all options")
checkList(string.tokenlist(' a  b '), {'', 'a', '', 'b', ''}, "defaults: all options off")
checkList(string.tokenlist('a,,b', ',', true), {'a', 'b'}, "merge")
checkList(string.tokenlist(',a', ',', true), {'', 'a'}, "merge keeps a leading empty token")
checkList(string.tokenlist(',a', ',', true, true), {'a'}, "skip leading")
checkList(string.tokenlist('a,', ','), {'a', ''}, "final empty token")
checkList(string.tokenlist('a,', ',', false, false, true), {'a'}, "drop empty last")
checkList(string.tokenlist('', ';'), {''}, "empty text")
checkList(string.tokenlist('', ';', false, false, true), {}, "empty text, drop empty last")
checkList(string.tokenlist(';;a;;b;;', ';', true, true, true), {'a', 'b'}, "search path")
checkList(string.tokenlist('"a b" c'), {'"a', 'b"', 'c'}, "no quoting in tokenlist")

-- tokenlistex
checkList(string.tokenlistex('a "b c" d'), {'a', 'b c', 'd'}, "double quotes by default")
checkList(string.tokenlistex('a "b c" d', ' ', '"', '"', false, false, false, true),
          {'a', '"b c"', 'd'}, "keepquotes")
checkList(string.tokenlistex('f(a,(b,c)),d', ',', '(', ')'), {'fa,(b,c)', 'd'},
          "nested brackets")
checkList(string.tokenlistex('"a b'), {'a b'}, "an unterminated quote runs to the end")
checkList(string.tokenlistex(' a  "b" ', ' ', '"', '"', true, true, true), {'a', 'b'},
          "merge, skip leading, drop empty last")
checkList(string.tokenlistex("x 'y z'", ' ', "'\"", "'\""), {'x', 'y z'}, "second quote pair")
checkList(string.tokenlistex('', ' '), {''}, "empty text")

-- argument errors
for _, name in ipairs({'split', 'splitfirst', 'splitlast', 'tokenlist', 'tokenlistex'}) do
  local ok, e = pcall(string[name])
  assert(not ok and e:find("bad argument #1"), name .. " without s: " .. tostring(e))
  ok, e = pcall(string[name], nil, ',')
  assert(not ok and e:find("bad argument #1"), name .. " with nil s: " .. tostring(e))
  ok, e = pcall(string[name], 'a', {})
  assert(not ok and e:find("bad argument #2"), name .. " with a table sep: " .. tostring(e))
end
local ok, e = pcall(string.tokenlistex, 'a', ' ', {})
assert(not ok and e:find("bad argument #3"), "tokenlistex openquotes: " .. tostring(e))
ok, e = pcall(string.tokenlistex, 'a', ' ', '"', {})
assert(not ok and e:find("bad argument #4"), "tokenlistex closequotes: " .. tostring(e))
