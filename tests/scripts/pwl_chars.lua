-- ForEachChar, CharCount and GetChar.
local text = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/text.lua')
text.set('abc')
local calls = {}
assert(PWL.ForEachChar(function(c, p, user, prev, nxt)
  calls[#calls + 1] = table.concat({c, p, user, '[' .. prev .. ']', '[' .. nxt .. ']'}, ',')
  return c
end) == true)
assert(calls[1] == 'a,1,0,[],[b]', calls[1])
assert(calls[2] == 'b,2,0,[a],[c]', calls[2])
assert(calls[3] == 'c,3,0,[b],[]', calls[3])

-- prev and next are the neighbours as read, never replacement results
text.set('xyz')
local prevs = {}
PWL.ForEachChar(function(c, p, u, prev) prevs[#prevs + 1] = prev return c:upper() .. c:upper() end, 5)
assert(table.concat(prevs, ',') == ',x,y')
assert(text.get() == 'XXYYZZ')


-- GetChar range and zero bytes
text.set('a\0b')
assert(PWL.CharCount() == 3)
assert(PWL.GetChar(2) == '\0' and #PWL.GetChar(2) == 1)
assert(PWL.GetChar(0) == nil and PWL.GetChar(-1) == nil and PWL.GetChar(4) == nil)
-- zero bytes reach callbacks whole and survive an identity rewrite
local zeros = 0
PWL.ForEachChar(function(c) if c == '\0' then zeros = zeros + 1 end return c end)
assert(zeros == 1 and text.get() == 'a\0b')
PWL.ForEachLine(function(line) return line end)
assert(text.get() == 'a\0b')

local ok, err = pcall(PWL.GetChar, 'x')
assert(not ok and err:find('number expected'), err)
ok, err = pcall(PWL.ForEachChar, function() return false end)
assert(not ok and err:find('got boolean'), err)
assert(text.get() == 'a\0b')

-- an error in the callback: its message replaces the character
PWL.ForEachChar(function(c) if c == 'b' then error('E', 0) end return c end)
assert(text.get() == 'a\0E')

-- deleting every character empties the text
PWL.ForEachChar(function() end)
assert(PWL.CharCount() == 0 and text.get() == '')
assert(PWL.GetChar(1) == nil)
local called = false
PWL.ForEachChar(function() called = true end)
assert(not called)
