-- os.path.list and os.path.listinfo on a fresh tree, and a messy tree (link loops,
-- FIFOs, names with line breaks or invalid bytes) that every listing and every file
-- function must get through without failing or hanging.

local P = os.path

local files = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/files.lua')
local eq, write = files.eq, files.write

local function quote(s) return "'" .. s:gsub("'", "'\\''") .. "'" end
local function sh(command)
  assert(os.execute(command), "shell command failed: " .. command)
end

-- an array table with exactly these values, in this order
local function same(list, expected, what)
  assert(type(list) == 'table', what .. ": not a table")
  local got = {}
  for i, v in ipairs(list) do got[i] = string.format('%q', v) end
  local want = {}
  for i, v in ipairs(expected) do want[i] = string.format('%q', v) end
  local shown = "\n got  " .. table.concat(got, ', ') .. "\n want " .. table.concat(want, ', ')
  assert(#list == #expected, what .. ": " .. #list .. " entries" .. shown)
  assert(next(list, #list > 0 and #list or nil) == nil, what .. ": keys beyond the array")
  for i = 1, #expected do assert(list[i] == expected[i], what .. ": entry " .. i .. shown) end
end

-- the same values in any order
local function sameSet(list, expected, what)
  local sorted = {}
  for i, v in ipairs(list) do sorted[i] = v end
  table.sort(sorted)
  local want = {}
  for i, v in ipairs(expected) do want[i] = v end
  table.sort(want)
  same(sorted, want, what)
end

local function localSeconds(y, m, d, hh, mm, ss)
  y = (m <= 2) and y - 1 or y
  local era = (y >= 0 and y or y - 399) // 400
  local yoe = y - era * 400
  local doy = (153 * (m + (m > 2 and -3 or 9)) + 2) // 5 + d - 1
  local doe = yoe * 365 + yoe // 4 - yoe // 100 + doy
  return (era * 146097 + doe - 719468) * 86400 + hh * 3600 + mm * 60 + ss
end

local startDir = P.currentdir()
local base = os.tmpname()
os.remove(base)
local messy = base .. '_messy'

local function main()
  assert(P.mkdir(base))
  local function at(relative) return base .. '/' .. relative end
  write(at('a.txt'), 'aaa')
  write(at('B.TXT'))
  write(at('c.log'))
  write(at('.hidden.txt'))
  write(at('noext'))
  P.mkdir(at('sub/.hdir'))
  write(at('sub/d.txt'))
  write(at('sub/.hdir/e.txt'))
  P.mkdir(at('.hsub'))
  write(at('.hsub/f.txt'))

  -- list: defaults are no subdirectories, no hidden entries, files, no directories
  same(P.list(at('*.txt')), {at('a.txt'), at('B.TXT')}, "list of *.txt")
  same(P.list(at('*.txt'), false), {at('a.txt'), at('B.TXT')}, "subdirs false")
  same(P.list(at('*.txt'), true), {at('a.txt'), at('B.TXT'), at('sub/d.txt')}, "subdirs")
  sameSet(P.list(at('*.txt'), true, true),
          {at('.hidden.txt'), at('.hsub/f.txt'), at('a.txt'), at('B.TXT'),
           at('sub/.hdir/e.txt'), at('sub/d.txt')}, "subdirs and hidden")
  sameSet(P.list(at('*.txt'), false, true), {at('.hidden.txt'), at('a.txt'), at('B.TXT')},
          "hidden")
  same(P.list(at('*.txt;*.log')), {at('a.txt'), at('B.TXT'), at('c.log')}, "two patterns")
  same(P.list(at('*.')), {at('noext')}, "names without extension")
  same(P.list(at('*'), false, false, false, true), {at('sub')}, "directories only")
  same(P.list(at('*'), false, false, true, true),
       {at('a.txt'), at('B.TXT'), at('c.log'), at('noext'), at('sub')}, "files and directories")
  sameSet(P.list(at('*'), false, true, false, true), {at('.hsub'), at('sub')},
          "hidden directories")
  same(P.list(at('*.txt'), nil, nil, nil), {}, "an explicit nil turns files off")
  same(P.list(at('*.txt'), 0, nil), {at('a.txt'), at('B.TXT'), at('sub/d.txt')},
       "a non-boolean is true")
  same(P.list(at('none/*.txt')), {}, "a missing directory lists nothing")
  same(P.list(at('*.xyz')), {}, "nothing matches")
  same(P.list(at('*.txt\0')), {}, "a mask with a zero byte lists nothing")
  same(P.list(at('\255*')), {}, "a mask the code page cannot carry lists nothing")
  same(P.list(at('a.txt')), {at('a.txt')}, "one file by name")
  same(P.list(at('A.TXT')), {at('a.txt')}, "names match ignoring case")

  -- relative masks: an empty directory is the current one (absolute results), a
  -- relative one gives relative results
  assert(P.chdir(base))
  same(P.list('*.txt'), {at('a.txt'), at('B.TXT')}, "mask without directory")
  same(P.list('sub/*.txt'), {'sub/d.txt'}, "relative mask")
  assert(P.chdir(startDir))

  -- listinfo
  sh('touch -d "2001-02-03 04:05:07" ' .. quote(at('a.txt')))
  write(at('old.txt'))
  sh('touch -d "1975-06-01 12:00:00" ' .. quote(at('old.txt')))
  sh('chmod 444 ' .. quote(at('c.log')))
  local infos = P.listinfo(at('*'), false, false, true, true)
  eq(#infos, 6, "listinfo entries")
  local byName = {}
  for i, info in ipairs(infos) do
    local keys = 0
    for _ in pairs(info) do keys = keys + 1 end
    eq(keys, 9, "keys of entry " .. i)
    byName[info.name] = info
  end
  eq(infos[1].name, 'a.txt', "listinfo is sorted")
  eq(infos[6].name, 'sub', "listinfo is sorted (last)")
  local a = byName['a.txt']
  eq(a.path, base, "path is the directory without separator")
  eq(a.shortname, '', "no short names here")
  eq(a.size, 3, "size")
  eq(math.type(a.size), 'integer', "size is an integer")
  eq(a.attributes, 0, "attributes of a plain file")
  eq(a.dir, false, "a file is no directory")
  eq(a.lastwrite, localSeconds(2001, 2, 3, 4, 5, 6), "last-write time")
  eq(a.lastaccess, localSeconds(2001, 2, 3, 4, 5, 6), "last-access time")
  eq(math.type(a.created), 'integer', "creation time is an integer")
  local sub = byName['sub']
  eq(sub.dir, true, "a directory")
  eq(sub.size, 0, "a directory's size is 0")
  eq(sub.attributes, 16, "attributes of a directory")
  eq(byName['c.log'].attributes, 1, "attributes of a read-only file")
  eq(byName['old.txt'].lastwrite, -2209161600, "a time before 1980")
  eq(byName['old.txt'].lastaccess, -2209161600, "an access time before 1980")
  local hidden = P.listinfo(at('.hidden.txt'), false, true)
  eq(#hidden, 1, "one hidden entry")
  eq(hidden[1].attributes, 2, "attributes of a hidden file")
  same(P.listinfo(at('*.txt'), nil, nil, nil), {}, "listinfo: explicit nil turns files off")
  same(P.listinfo(at('none/*')), {}, "listinfo of a missing directory")
  eq(#P.listinfo(at('*.txt'), true), 4, "listinfo with subdirectories")

  -- argument errors
  for _, f in ipairs({P.list, P.listinfo}) do
    local ok, message = pcall(f)
    assert(not ok and message:find('bad argument #1', 1, true), tostring(message))
    ok, message = pcall(f, {})
    assert(not ok and message:find('bad argument #1', 1, true), tostring(message))
  end
  eq(select('#', P.list(at('*'))), 1, "list gives one result")
  eq(select('#', P.listinfo(at('*'))), 1, "listinfo gives one result")

  -- the messy tree
  assert(P.mkdir(messy .. '/sub/deeper'))
  local function m(relative) return messy .. '/' .. relative end
  write(m('plain.txt'), 'plain')
  write(m('line\nbreak.txt'), 'nl')
  write(m('bad\255.txt'), 'bad')
  P.mkdir(m('sub'))
  sh('mkdir ' .. quote(m('baddir\255')))
  write(m('baddir\255') .. '/inside.txt')
  write(m('ro.txt'), 'ro')
  sh('cd ' .. quote(messy) .. ' && chmod 444 ro.txt && mkfifo pipe.txt' ..
     ' && ln -s loop_b loop_a && ln -s loop_a loop_b && ln -s self self' ..
     ' && ln -s missing dangling.txt && ln -s .. sub/up && ln -s ../.. sub/deeper/top' ..
     ' && ln -s . here && ln -s ' .. quote(messy) .. ' sub/deeper/again' ..
     ' && mkdir closed && touch closed/x.txt && chmod 000 closed')

  local all = P.list(m('*'), true, true, true, true)
  local found = {}
  for _, name in ipairs(all) do
    assert(type(name) == 'string', "names are strings")
    assert(name:sub(1, #messy) == messy, "every name lies in the tree: " .. name)
    assert(not name:find('\239\191\189', 1, true), "no name with a replaced byte: " .. name)
    found[name] = true
  end
  assert(found[m('plain.txt')], "plain file listed")
  assert(found[m('line\nbreak.txt')], "name with a line break listed")
  assert(found[m('pipe.txt')], "FIFO listed")
  assert(found[m('ro.txt')], "read-only file listed")
  assert(found[m('sub/deeper')], "nested directory listed")
  assert(found[m('dangling.txt')], "dangling link listed")
  assert(#all < 100, "the link loops are not followed around: " .. #all .. " entries")
  local infosMessy = P.listinfo(m('*'), true, true, true, true)
  eq(#infosMessy, #all, "listinfo finds what list finds")

  -- every file function gets through every name found
  for _, name in ipairs(all) do
    P.exists(name); P.isfile(name); P.isdir(name); P.islink(name)
    assert(math.type(P.flags(name)) == 'integer')
    P.size(name); P.time(name); P.isreadonly(name)
    if P.isdir(name) then P.isempty(name) end
    P.basename(name); P.fullpath(name); P.split(name)
  end
  eq(P.copy(m('pipe.txt'), m('pipe_copy')), nil, "copy of a FIFO fails without blocking")
  eq(P.copy(m('loop_a'), m('loop_copy')), nil, "copy of a link loop fails")
  eq(select(2, P.rename(m('loop_a'), m('loop_c'))), m('loop_a') .. ': No such file or directory',
     "a link loop names nothing to rename")
  eq(P.remove(m('loop_a')), true, "a link loop can be removed")
  eq(P.remove(m('self')), true, "a self link can be removed")
  eq(P.copy(m('line\nbreak.txt'), m('ro.txt')), nil, "a read-only file is not overwritten")
  eq(P.isreadonly(m('ro.txt')), true, "read-only for everyone")
  eq(P.remove(m('sub/up')), true, "a link to a directory is removed as a link")
  eq(P.isdir(messy), true, "the directory behind it stays")
end

local ok, err = xpcall(main, debug.traceback)
P.chdir(startDir)
os.execute('chmod -R u+rwx ' .. quote(base) .. ' ' .. quote(messy) .. ' 2>/dev/null; rm -rf ' ..
           quote(base) .. ' ' .. quote(messy))
assert(ok, err)
eq(P.exists(base) or P.exists(messy), false, "trees removed")
