-- ForEachToken.
local text = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/text.lua')
-- two blanks between two words: an empty token in between, deleted when returned as ''
text.set('one  two\n')
local seen = {}
assert(PWL.ForEachToken(function(tok, line, i, user)
  seen[#seen + 1] = string.format('%s/%d/%d/%d', tok, line, i, user)
  return tok
end) == true)
assert(table.concat(seen, ' ') == 'one/1/1/0 /1/2/0 two/1/2/0', table.concat(seen, ' '))
assert(text.get() == 'one two\n', text.get())

-- an empty line yields one empty token unless dropEmptyLast is set
text.set('\nx')
seen = {}
PWL.ForEachToken(function(tok, line, i) seen[#seen + 1] = line .. ':' .. i .. '[' .. tok .. ']' return tok end)
assert(table.concat(seen, ' ') == '1:1[] 2:1[x]', table.concat(seen, ' '))
seen = {}
PWL.ForEachToken(function(tok, line, i) seen[#seen + 1] = line .. ':' .. i return tok end, ' ', false, false, true)
assert(table.concat(seen, ' ') == '2:1')
text.set('\n')
PWL.ForEachToken(function() return 'filled' end)
assert(text.get() == 'filled\n')

-- tokens are rejoined with the whole separators string
text.set('a,b;c\r\n')
PWL.ForEachToken(function(tok) return tok end, ',;')
assert(text.get() == 'a,;b,;c\r\n', text.get())

-- merged and leading separators are lost even when every token comes back unchanged
text.set(',,a,,b')
PWL.ForEachToken(function(tok) return tok end, ',', true, true, false, 3)
assert(text.get() == 'a,b', text.get())

-- numbers as results, nil deletes, options read as booleans (nil = false)
text.set('1 2 3')
PWL.ForEachToken(function(tok) if tok == '2' then return nil end return tonumber(tok) * 2 end, nil, nil)
assert(text.get() == '2 6', text.get())
local ok, err = pcall(PWL.ForEachToken, function() return {} end)
assert(not ok and err:find('got table'), err)
assert(text.get() == '2 6')

-- bytes that are not valid UTF-8 come back unchanged
text.set('a\xFF b\xC3')
PWL.ForEachToken(function(tok) return tok end)
assert(text.get() == 'a\xFF b\xC3')
