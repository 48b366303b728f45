-- table.loadstrings and table.savestrings.

local lists = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/lists.lua')
local checkList = lists.check

local function writeBytes(path, bytes)
  local file = assert(io.open(path, 'wb'))
  file:write(bytes)
  file:close()
end

local function readBytes(path)
  local file = assert(io.open(path, 'rb'))
  local bytes = file:read('a')
  file:close()
  return bytes
end

local function raises(f, what, ...)
  local ok, err = pcall(f)
  assert(not ok, what .. ": no error")
  for _, part in ipairs({...}) do
    assert(string.find(err, part, 1, true), what .. ": " .. tostring(err))
  end
end

local dir = os.tmpname()
os.remove(dir)
assert(os.execute("mkdir '" .. dir .. "'"))
local f = dir .. '/lines.txt'

-- loadstrings: every kind of line end, no line after the last break
local cases = {
  {'a\r\nb\rc\n', {'a', 'b', 'c'}, "CR LF, CR and LF"},
  {'', {}, "empty file"},
  {'one', {'one'}, "no line end"},
  {'\n', {''}, "a lone break"},
  {'a\n\n', {'a', ''}, "an empty line before the end"},
  {'\r\r\n', {'', ''}, "CR then CR LF"},
  {'a\0b\nc', {'a'}, "NUL ends the text"},
  {'\xEF\xBB\xBFu\xC3\xBC\r\nx', {'u\xC3\xBC', 'x'}, "UTF-8 mark"},
  {'\xFF\xFEa\0\r\0\n\0\xFC\0', {'a', '\xC3\xBC'}, "UTF-16 LE mark"},
  {'\xFE\xFF\0a\0\r\0\xFC', {'a', '\xC3\xBC'}, "UTF-16 BE mark"},
  {'\xC3\xA4\n', {'\xC3\xA4'}, "no mark: the ANSI code page (UTF-8 here)"},
}
for _, case in ipairs(cases) do
  writeBytes(f, case[1])
  checkList(table.loadstrings(f), case[2], case[3])
end

-- missing or unreadable files give a single nil
assert(os.remove(f))
assert(table.loadstrings(f) == nil)
assert(select('#', table.loadstrings(f)) == 1)
assert(table.loadstrings(dir) == nil, "a directory")
assert(table.loadstrings('') == nil, "the empty name")
raises(function() table.loadstrings() end, "no name", "bad argument #1")
raises(function() table.loadstrings({}) end, "table name", "bad argument #1")

-- savestrings: every line with CR LF, numbers as their text
assert(table.savestrings({'x', 2}, f) == true)
assert(readBytes(f) == 'x\r\n2\r\n', "x and 2")
assert(table.savestrings({}, f) == true)
assert(readBytes(f) == '', "an empty table gives an empty file")
assert(table.savestrings({'', 'a\nb', 1.5, '\xC3\xBC'}, f) == true)
assert(readBytes(f) == '\r\na\nb\r\n1.5\r\n\xC3\xBC\r\n', "lines as they are")
-- a longer file is replaced whole
writeBytes(f, string.rep('old line\n', 100))
assert(table.savestrings({'new'}, f) == true)
assert(readBytes(f) == 'new\r\n')
-- the raw length and raw elements, no metamethods
local proxy = setmetatable({'a'}, {__len = function() return 3 end,
                                   __index = function() return 'z' end})
assert(table.savestrings(proxy, f) == true)
assert(readBytes(f) == 'a\r\n', "raw elements only")

-- a round trip keeps the lines
local lines = {'first', '', '  spaced  ', 'tab\there', '\xC3\xA4\xC3\xB6\xC3\xBC'}
assert(table.savestrings(lines, f) == true)
checkList(table.loadstrings(f), lines, "round trip")

-- failures to write are false, and a read-only file keeps its content
assert(table.savestrings({'x'}, dir .. '/no/such/dir/file') == false)
assert(table.savestrings({'x'}, dir) == false, "a directory")
assert(table.savestrings({'x'}, '') == false, "the empty name")
local readOnly = dir .. '/readonly.txt'
writeBytes(readOnly, 'keep\n')
assert(os.execute("chmod 0444 '" .. readOnly .. "'"))
assert(table.savestrings({'new'}, readOnly) == false, "a read-only file")
assert(readBytes(readOnly) == 'keep\n', "the read-only file is unchanged")
assert(os.execute("chmod 0644 '" .. readOnly .. "'"))

-- argument errors before any work
os.remove(f)
raises(function() table.savestrings('x', f) end, "string lines", "bad argument #1",
       "table expected")
assert(io.open(f, 'rb') == nil, "nothing written after an argument error")
raises(function() table.savestrings(nil, f) end, "nil lines", "bad argument #1", "table expected")
raises(function() table.savestrings({'a', {}}, f) end, "table element", "bad argument #-1")
raises(function() table.savestrings({'a', true}, f) end, "boolean element", "bad argument #-1")
raises(function() table.savestrings({'a'}) end, "no name", "bad argument #2")
assert(io.open(f, 'rb') == nil, "nothing written after an argument error")

os.remove(readOnly)
assert(os.remove(dir))
