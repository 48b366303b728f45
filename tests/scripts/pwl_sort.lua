-- SortLines.
local text = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/text.lua')
local function ascending(a, b) return a < b and -1 or (a > b and 1 or 0) end

text.set('d\nb\r\na\nc\n')
assert(select('#', PWL.SortLines(ascending)) == 0, 'SortLines returns nothing')
assert(text.get() == 'a\nb\r\nc\nd\n', text.get())

-- a last line without line end that moves up takes the line end of the line
-- placed last, which goes without one: every line survives
for _, c in ipairs({
  {'b\nc\na', 'a\nb\nc'}, {'b\r\nc\r\na', 'a\r\nb\r\nc'}, {'b\nc\r\na', 'a\r\nb\nc'},
  {'c\r\na\nb', 'a\nb\r\nc'}, {'b\na', 'a\nb'}, {'a\nb', 'a\nb'}, {'c\na\nb', 'a\nb\nc'},
  {'only', 'only'}, {'b\r\na\n', 'a\nb\r\n'}, {'b\n\na', '\na\nb'},
}) do
  text.set(c[1])
  PWL.SortLines(ascending)
  assert(text.get() == c[2], c[1]:gsub('\r', '\\r'):gsub('\n', '\\n') .. ' -> ' .. text.get())
end

-- fewer than two lines: the comparison is never called
text.set('only\n')
local called = false
PWL.SortLines(function() called = true return 0 end)
assert(not called and text.get() == 'only\n')

-- the user value reaches the comparison; the low 32 bits decide
text.set('x\ny\n')
local user
PWL.SortLines(function(a, b, u) user = u return 0x100000000 + (a < b and 1 or -1) end, 42)
assert(user == 42)
assert(text.get() == 'y\nx\n', text.get())

-- an inconsistent comparison still ends with every line present once
local lines = {}
for i = 1, 200 do lines[i] = tostring((i * 7919) % 200) end
text.set(table.concat(lines, '\n') .. '\n')
local n = 0
PWL.SortLines(function() n = n + 1 return (n % 3) - 1 end)
assert(PWL.LineCount() == 200)
local seen = {}
for i = 1, 200 do seen[PWL.GetLine(i)] = true end
local count = 0
for _ in pairs(seen) do count = count + 1 end
assert(count == 200, 'lines lost or duplicated')

-- a non-integer result, or an error in the comparison, is an argument error; text unchanged
text.set('b\na\n')
for _, bad in ipairs({function() return 'x' end, function() return 1.5 end, function() error('boom') end}) do
  local ok, err = pcall(PWL.SortLines, bad)
  assert(not ok and err:find('bad argument'), err)
  assert(text.get() == 'b\na\n')
end
local ok, err = pcall(PWL.SortLines, 5)
assert(not ok and err:find('function expected'), err)

-- numeric comparison of many lines
local nums = {}
for i = 1, 1000 do nums[i] = tostring((i * 7919) % 1000) end
text.set(table.concat(nums, '\n') .. '\n')
PWL.SortLines(function(a, b) return tonumber(a) - tonumber(b) end)
for i = 1, 1000 do assert(PWL.GetLine(i) == tostring(i - 1)) end

-- an error value that is an integer is a result like any other: the sort goes on
text.set('c\nb\na\n')
PWL.SortLines(function(a, b) error(a < b and -1 or 1) end)
assert(text.get() == 'a\nb\nc\n', text.get())
