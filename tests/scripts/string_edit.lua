-- Joining, deleting, translating and trimming with the string library.

local function check(actual, expected, what)
  assert(actual == expected, what .. ": expected " .. string.format('%q', tostring(expected)) ..
         ", got " .. string.format('%q', tostring(actual)))
end

-- append
check(string.append('', 'x', ','), 'x', "empty s gives add without separator")
check(string.append('a', '', ','), 'a', "empty add gives s")
check(string.append('a', '', ',', false, true), 'a,', "force appends the separator")
check(string.append('a', 'b', ',', true), 'b,a', "prepend")
check(string.append('a', 'b'), 'ab', "no separator by default")
check(string.append('a', 'b', ','), 'a,b', "separator")
check(string.append('a'), 'a', "add defaults to the empty text")
check(string.append('', '', ',', false, true), '', "empty s and add, forced")
check(string.append('a', '', ',', true, true), ',a', "prepend and force")
check(string.append('a', 'b', ',', nil), 'a,b', "nil prepend is false")
check(string.append('a', 'b', ',', 0), 'b,a', "0 counts as true")

-- delete
check(string.delete('abcdef', 2, 4), 'aef', "range")
check(string.delete('abc'), 'bc', "first character by default")
check(string.delete('abc', -1), 'ab', "negative first counts from the end")
check(string.delete('abc', -2), 'ac', "one character from the end")
check(string.delete('abc', 0), 'bc', "0 is the first position")
check(string.delete('abc', 3, 2), 'abc', "last before first")
check(string.delete('abc', 2, 99), 'a', "last beyond the end")
check(string.delete('abc', 5), 'abc', "first beyond the end")
check(string.delete('abc', -99), 'bc', "far negative clamps to 1")
check(string.delete('abcdef', -3, -2), 'abcf', "negative range")
check(string.delete('abcdef', 2, -1), 'a', "to the last character")
check(string.delete('abc', 2, 0), 'ac', "explicit 0 for last means first")
check(string.delete('abc', nil, nil), 'bc', "nil positions take the defaults")
check(string.delete('abc', 2.0, 3.0), 'a', "floats with integer values")
check(string.delete('', 1), '', "empty text")
check(string.delete('abc', math.maxinteger, math.maxinteger), 'abc', "huge positions")
check(string.delete('abc', math.mininteger), 'bc', "most negative position")
check(string.delete('a\u{E4}b', 2), 'ab', "positions count characters")
check(string.delete('x\u{1F600}y', 2, 3), 'xy', "a surrogate pair is two positions")
do
  local ok, e = pcall(string.delete, 'abc', 1.5)
  assert(not ok and e:find("bad argument #2") and e:find("integer"), "1.5: " .. tostring(e))
  ok, e = pcall(string.delete, 'abc', 1, 'x')
  assert(not ok and e:find("bad argument #3"), "'x': " .. tostring(e))
  ok, e = pcall(string.delete, 'abc', '2')
  assert(ok and e == 'ac', "a numeric string is a number")
end

-- translate
check(string.translate('Hello', 'xy', 'lo'), 'Hexxy', "replace")
check(string.translate('Hello', 'x', 'lo'), 'Hexx', "remove without fill character")
check(string.translate('Hello', 'x', 'lo', '_'), 'Hexx_', "fill character")
check(string.translate('Hello', 'x', 'lo', '_-'), 'Hexx_', "fill is the first character")
check(string.translate('Hello', 'x', 'lo', ''), 'Hexx', "empty fill is no fill")
check(string.translate('Hello', 'x', 'lo', nil), 'Hexx', "nil fill is no fill")
check(string.translate('abc', '', ''), 'ABC', "empty search chars upper-case")
check(string.translate('abc', '', '', '*'), '***', "empty search chars with fill")
check(string.translate('HELLO', 'xy', 'lo'), 'HExxy', "search ignores case")
check(string.translate('HELLO', 'xy', 'lo', nil, false), 'HELLO', "search with case")
check(string.translate('hello', 'XY', 'LO', nil, false), 'hello', "upper-case search, with case")
check(string.translate('hello', 'XY', 'LO'), 'heXXY', "replacement as written")
check(string.translate('', 'x', 'a'), '', "empty text")
check(string.translate('aaa', '', 'a'), '', "every character removed")
check(string.translate('\u{E4}\u{F6}', 'ao', '\u{C4}\u{D6}'), 'ao', "non-ASCII characters")
for i, args in ipairs({{}, {'a'}, {'a', 'b'}}) do
  local ok, e = pcall(string.translate, table.unpack(args, 1, 3))
  assert(not ok and e:find("bad argument #" .. i), "translate missing #" .. i .. ": " .. tostring(e))
end

-- trim
check(string.trim('\t x \r\n'), 'x', "trim")
check(string.trimleft('\t x \r\n'), 'x \r\n', "trimleft")
check(string.trimright('\t x \r\n'), '\t x', "trimright")
check(string.trim('\u{A0}x\u{A0}'), '\u{A0}x\u{A0}', "no-break space stays")
check(string.trim('\1\31 x \127'), 'x \127', "codes up to 32 only")
check(string.trim('   '), '', "all blank")
check(string.trimleft(''), '', "empty text")
check(string.trim('a\0'), 'a', "a zero byte is trimmed")
check(string.trim('a\0b'), 'a\0b', "inner zero bytes stay")
check(('  x  '):trim(), string.trim('  x  '), "method form")
check(('  x  '):trimleft(), 'x  ', "method form of trimleft")
check(string.trim(12), '12', "a number is read as its string form")

-- argument errors
for _, name in ipairs({'append', 'delete', 'trim', 'trimleft', 'trimright'}) do
  local ok, e = pcall(string[name])
  assert(not ok and e:find("bad argument #1"), name .. " without s: " .. tostring(e))
  ok, e = pcall(string[name], true)
  assert(not ok and e:find("bad argument #1"), name .. " with a boolean: " .. tostring(e))
end
