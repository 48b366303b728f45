-- Locale comparisons, prefix and suffix handling, list lookup and wildcards of the
-- string library.

local function check(actual, expected, what)
  assert(actual == expected,
         what .. ": expected " .. tostring(expected) .. ", got " .. tostring(actual))
end

-- compare: -1, 0, 1 under the locale order, case ignored by default
check(string.compare('a', 'B'), -1, "compare a B")
check(string.compare('B', 'a'), 1, "compare B a")
check(string.compare('abc', 'ABC'), 0, "compare ignores case by default")
check(string.compare('a', 'B', false), -1, "case-sensitive a B")
check(string.compare('a', 'A', false), -1, "case-sensitive: lower case sorts first")
check(string.compare('A', 'a', false), 1, "case-sensitive: upper case sorts after")
check(string.compare('abc', 'ABC', nil), -1, "nil counts as false")
check(string.compare('x'), 1, "b defaults to the empty text")
check(string.compare(''), 0, "empty against the default")
check(math.type(string.compare('a', 'b')), "integer", "compare gives an integer")
check(string.compare(12, '12'), 0, "a number is read as its string form")

-- issame
check(string.issame('ABC', 'abc'), true, "issame ignores case")
check(string.issame('ABC', 'abc', nil), false, "nil counts as false")
check(string.issame('ABC', 'abc', false), false, "case-sensitive issame")
check(string.issame('ABC', 'abc', 1), true, "a non-boolean flag counts as true")
check(string.issame('abc', 'abd'), false, "different texts")
check(string.issame(''), true, "empty against the default")
check(string.issame('a'), false, "b defaults to the empty text")

-- startswith / endswith
check(string.startswith('abc', ''), true, "empty prefix")
check(string.startswith('abc'), true, "absent prefix")
check(string.endswith('abc', ''), false, "empty suffix")
check(string.endswith('abc'), false, "absent suffix")
check(string.startswith('Hello', 'HE'), true, "prefix ignoring case")
check(string.startswith('Hello', 'HE', false), false, "prefix with case")
check(string.startswith('Hello', 'He', false), true, "prefix with case, same case")
check(string.startswith('He', 'Hello'), false, "prefix longer than s")
check(string.endswith('report.TXT', '.txt'), true, "suffix ignoring case")
check(string.endswith('report.TXT', '.txt', false), false, "suffix with case")
check(string.endswith('txt', 'a.txt'), false, "suffix longer than s")
check(string.endswith('abc', 'abc'), true, "suffix is the whole text")
check(string.endswith('a\u{1F600}', '\u{1F600}'), true, "suffix of a whole surrogate pair")

-- deletefirst / deletelast
check(string.deletefirst('abc', ''), 'abc', "empty prefix deletes nothing")
check(string.deletefirst('abc'), 'abc', "absent prefix deletes nothing")
check(string.deletelast('abc', ''), 'abc', "empty suffix deletes nothing")
check(string.deletelast('abc'), 'abc', "absent suffix deletes nothing")
check(string.deletefirst('HelloWorld', 'hello'), 'World', "prefix removed ignoring case")
check(string.deletefirst('HelloWorld', 'hello', false), 'HelloWorld', "case-sensitive prefix")
check(string.deletefirst('HelloWorld', 'xyz'), 'HelloWorld', "no prefix")
check(string.deletelast('notes.TXT', '.txt'), 'notes', "suffix removed ignoring case")
check(string.deletelast('notes.TXT', '.txt', false), 'notes.TXT', "case-sensitive suffix")
check(string.deletelast('notes.txt', '.doc'), 'notes.txt', "no suffix")

-- indexof
check(string.indexof('B', 'a|b|c'), 2, "text list ignoring case")
check(string.indexof('B', 'a|b|c', false), nil, "text list with case")
check(string.indexof('x', {'x', 'y'}), 1, "table list")
check(string.indexof('Y', {'x', 'y'}), 2, "table list ignoring case")
check(string.indexof('Y', {'x', 'y'}, false), nil, "table list with case")
check(string.indexof('c', 'a;b;c', true, ';'), 3, "own separator")
check(string.indexof('', 'a||b'), 2, "empty entries count")
check(string.indexof('b', 'a|b|b'), 2, "the first equal entry wins")
check(string.indexof('z', 'a|b'), nil, "not found")
check(string.indexof('z', {}), nil, "empty table")
check(string.indexof('2', {1, 2, 3}), 2, "numbers in a table are read as strings")
check(string.indexof('c', 'a;b|c', true, ';|'), 3, "any character of sep separates")
check(string.indexof('a;b', {'a;b'}, true, ';'), 1, "sep does not split table entries")
check(string.indexof('x', {'x'}, true, {}), 1, "sep is not read for a table list")
check(select('#', string.indexof('z', 'a')), 1, "nil is one result")
local ok, e = pcall(string.indexof, 'a', {'a', {}})
assert(not ok and e:find("bad argument #%-1") and e:find("string expected"),
       "a table entry that is no string: " .. tostring(e))
ok, e = pcall(string.indexof, 'a')
assert(not ok and e:find("bad argument #2"), "missing list: " .. tostring(e))
ok, e = pcall(string.indexof, 'a', true)
assert(not ok and e:find("bad argument #2"), "boolean list: " .. tostring(e))

-- comparewildcard
check(string.comparewildcard('report.txt', '*.TXT'), true, "basic, ignoring case")
check(string.comparewildcard('report.txt', '*.TXT', false), false, "basic, with case")
check(string.comparewildcard('abc', 'a?c'), true, "question mark")
check(string.comparewildcard('ac', 'a?c'), false, "question mark needs a character")
check(string.comparewildcard('[a]', '[a]'), true, "brackets are literal in the basic syntax")
check(string.comparewildcard('a', '[a]'), false, "no set in the basic syntax")
check(string.comparewildcard('a', '[a]', true, true), true, "set in the extended syntax")
check(string.comparewildcard('bx', '[a-c]x', true, true), true, "range")
check(string.comparewildcard('dx', '[~a-c]x', true, true), true, "inverted range")
check(string.comparewildcard('ab', 'a+', true, true), true, "plus")
check(string.comparewildcard('a', 'a+', true, true), false, "plus needs a character")
check(string.comparewildcard('a+', 'a+'), true, "plus is literal in the basic syntax")
check(string.comparewildcard('B', '[a-c]', false, true), false, "set with case")
check(string.comparewildcard('B', '[a-c]', true, true), true, "set ignoring case")
check(string.comparewildcard(''), true, "empty pattern matches the empty text")
check(string.comparewildcard('x'), false, "empty pattern matches nothing else")
check(string.comparewildcard('README', '*.*'), false, "star dot star needs a dot")

-- argument errors
for _, name in ipairs({'compare', 'issame', 'startswith', 'endswith', 'deletefirst',
                       'deletelast', 'indexof', 'comparewildcard'}) do
  ok, e = pcall(string[name])
  assert(not ok and e:find("bad argument #1"), name .. " without s: " .. tostring(e))
  ok, e = pcall(string[name], {})
  assert(not ok and e:find("bad argument #1"), name .. " with a table: " .. tostring(e))
end
ok, e = pcall(string.compare, 'a', {})
assert(not ok and e:find("bad argument #2"), "compare with a table b: " .. tostring(e))
ok, e = pcall(string.startswith, 'a', true)
assert(not ok and e:find("bad argument #2"), "startswith with a boolean prefix: " .. tostring(e))
