-- ForEachLine, LineCount and GetLine.
local text = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/text.lua')
-- the sample input as read
assert(PWL.LineCount() == 3, 'sample line count')
assert(PWL.GetLine(2) == 'second line', 'CR LF is not part of the line')
assert(PWL.GetLine(3) == 'third line')
assert(PWL.GetLine(0) == nil and PWL.GetLine(-1) == nil and PWL.GetLine(4) == nil)

-- a deleted line passes its number on to the next one
text.set('a\nb\nc')
local seen = {}
assert(PWL.ForEachLine(function(line, n, user)
  seen[#seen + 1] = line .. n .. user
  if line == 'b' then return nil end
  return line
end) == true)
assert(table.concat(seen, ' ') == 'a10 b20 c20', table.concat(seen, ' '))
assert(text.get() == 'a\nc', 'deleted line takes its line end')

-- each line keeps its own line end; a returned LF becomes part of the text
text.set('x\r\ny\nz')
PWL.ForEachLine(function(line) return line .. '!' end, 7)
assert(text.get() == 'x!\r\ny!\nz!')
PWL.ForEachLine(function(line) if line == 'y!' then return line .. '\n' end return line end)
assert(text.get() == 'x!\r\ny!\n\nz!')

-- numbers are used in their string form, other values are argument errors
PWL.ForEachLine(function(line, n) return n * 10 end)
assert(text.get() == '10\r\n20\n\n30' or text.get() == '10\r\n20\n30\n40', text.get())
local before = text.get()
local ok, err = pcall(PWL.ForEachLine, function() return true end)
assert(not ok and err:find('bad argument #%-1') and err:find('string expected, got boolean'), err)
assert(text.get() == before, 'a failed iteration leaves the text unchanged')
ok, err = pcall(PWL.ForEachLine, function() return {} end)
assert(not ok and err:find('got table'), err)

-- an error inside the callback replaces the line by the error value
text.set('one\ntwo\n')
PWL.ForEachLine(function(line) error('bad ' .. line, 0) end)
assert(text.get() == 'bad one\nbad two\n', text.get())

-- inside the callback: the list in its partly processed state, CurrentText as it was.
-- An error in the callback would only become the replacement text, so the views are
-- recorded there and checked afterwards.
text.set('p\nq\nr\n')
local views = {}
PWL.ForEachLine(function(line, n)
  if line == 'r' then
    views = {number = n, count = PWL.LineCount(), chars = PWL.CharCount(),
             l1 = PWL.GetLine(1), l2 = PWL.GetLine(2), l3 = PWL.GetLine(3)}
  end
  if line == 'p' then return nil end
  return line:upper()
end)
assert(text.get() == 'Q\nR\n', text.get())
-- after deleting p: line 1 is Q (already replaced), line 2 is r (current), count 2
assert(views.number == 2 and views.count == 2, tostring(views.number) .. ' ' .. tostring(views.count))
assert(views.l1 == 'Q' and views.l2 == 'r' and views.l3 == nil,
       tostring(views.l1) .. '|' .. tostring(views.l2) .. '|' .. tostring(views.l3))
assert(views.chars == 6, 'CharCount sees the text from before the iteration')

text.set('p\nq\nr\n')
PWL.ForEachLine(function(line, n)
  if line == 'q' then
    views[1] = PWL.GetLine(1) .. '|' .. PWL.GetLine(2) .. '|' .. PWL.GetLine(3) .. '|' .. PWL.LineCount()
    views[2] = PWL.CharCount()
  end
  return line:upper()
end)
assert(views[1] == 'P|q|r|3', views[1])
assert(views[2] == 6, 'CharCount sees the text from before the iteration')
assert(text.get() == 'P\nQ\nR\n')

-- a replacement holding a line break, or ending in CR, is still one line in the list
text.set('one\r\ntwo\nthree\n')
local seenLines
PWL.ForEachLine(function(line, n)
  if n == 1 then return 'a\nb' end
  if n == 2 then return 'c\r' end
  seenLines = PWL.LineCount() .. '|' .. PWL.GetLine(1) .. '|' .. PWL.GetLine(2) .. '|' .. PWL.GetLine(3)
  return line
end)
assert(seenLines == '3|a\nb|c\r|three', seenLines)
assert(text.get() == 'a\nb\r\nc\r\nthree\n', text.get())

-- lines kept unchanged, deleted and rewritten, with GetLine asked for in between
text.set('k1\nd\nk2\nr\nk3')
local views = {}
PWL.ForEachLine(function(line, n)
  if line == 'd' then return nil end
  if line == 'r' then return 'R' end
  if line == 'k3' then
    for i = 1, PWL.LineCount() do views[#views + 1] = PWL.GetLine(i) end
  end
  return line
end)
assert(table.concat(views, ',') == 'k1,k2,R,k3', table.concat(views, ','))
assert(text.get() == 'k1\nk2\nR\nk3', text.get())

-- an empty text never calls the callback
PWL.ForEachLine(function() return nil end)
assert(PWL.CharCount() == 0 and PWL.LineCount() == 0 and PWL.GetLine(1) == nil)
local called = false
assert(PWL.ForEachLine(function() called = true end) == true and not called)

-- the callback must be a function
local ok2, err2 = pcall(function() PWL.ForEachLine('not a function') end)
assert(not ok2 and err2:find("bad argument #1 to 'ForEachLine' %(function expected%)"), err2)

