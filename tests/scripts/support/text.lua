-- Shared by the PWL script tests: replace the whole current text, and read it back.
local text = {}

-- Replaces the current text (which must not be empty) by s.
function text.set(s)
  PWL.ForEachChar(function(c, p) if p == 1 then return s end end)
  assert(PWL.CharCount() == #s, 'text.set')
end

-- The current text, byte by byte through GetChar.
function text.get()
  local t = {}
  for p = 1, PWL.CharCount() do t[p] = PWL.GetChar(p) end
  return table.concat(t)
end

return text
