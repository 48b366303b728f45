-- The Windows program on a Windows file system: path texts with drives and
-- backslashes, names that ignore case, listings with wildcards and braces, file
-- operations, zip archives with either separator, and the program itself
-- rewriting files in place (temporary file and replace, backup, read-only target).
-- REDEVUVO_PROGRAM names the program; files live in a fresh directory below the
-- temporary directory, removed at the end.

local P = os.path

local files = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/../../scripts/support/files.lua')
local eq, write, read = files.eq, files.write, files.read
-- Runs a command line through cmd.exe; its exit code. cmd drops the first and
-- last quote of what it is given, so the whole line is quoted once more.
local function run(commandLine)
  local ok, how, code = os.execute('"' .. commandLine .. '"')
  assert(how == 'exit', commandLine)
  return code
end

-- The native path rules are the Windows ones.
eq(P.DIR_SEP, '\\', 'DIR_SEP')
eq(P.PATH_SEP, ';', 'PATH_SEP')
local texts = {
  {P.drive, [[C:\dir\name.txt]], 'C:'},
  {P.drive, [[\\server\share\dir\x]], [[\\server\share]]},
  {P.dirname, [[C:\dir\name.txt]], [[C:\dir]]},
  {P.dirname, [[C:\name.txt]], [[C:\]]},
  {P.basename, [[C:\dir\name.txt]], 'name.txt'},
  {P.basename, [[C:name.txt]], 'name.txt'},
  {P.extension, [[C:\dir.d\name]], ''},
  {P.isrelativepath, [[C:\x]], false},
  {P.isrelativepath, [[x\y]], true},
}
for _, c in ipairs(texts) do
  eq(c[1](c[2]), c[3], c[2])
end
eq(P.join([[C:\a]], 'b', 'c.txt'), [[C:\a\b\c.txt]], 'join')
eq(P.fullpath([[C:\a\b\..\c.txt]]), [[C:\a\c.txt]], 'fullpath resolves ..')
eq(P.fullpath('x.txt'), P.join(P.currentdir(), 'x.txt'), 'fullpath of a relative name')

local base = P.join(P.tmpdir(), 'redevuvo-windows-' .. os.time() .. '-' .. math.random(1, 1e6))
local function at(relative) return base .. '\\' .. relative end

local function main()
  assert(P.mkdir(at([[sub\deeper]])))
  for _, name in ipairs({'b.txt', 'A.TXT', 'c.csv', 'noext', [[sub\d.txt]]}) do
    write(at(name), 'text of ' .. name .. '\r\n')
  end

  -- names ignore case
  eq(P.isfile(at('B.TXT')), true, 'a file found under another case')
  eq(P.isdir(at('SUB')), true, 'a directory found under another case')
  eq(P.exists(at('missing.txt')), false, 'a missing file')

  -- listings: wildcards and regular expressions ignore case; sorted ignoring case
  local function names(list)
    local result = {}
    for i, name in ipairs(list) do result[i] = name:sub(#base + 2) end
    return table.concat(result, ' ')
  end
  eq(names(P.list(at('*.txt'))), 'A.TXT b.txt', 'list *.txt')
  eq(names(P.list(at('*.txt;*.CSV'), true)), [[A.TXT b.txt c.csv sub\d.txt]], 'list with subdirs')
  -- (a regular expression holds no separator, here a backslash)
  eq(names(P.list(at('{^[ab][.]}'))), 'A.TXT b.txt', 'list with a regular expression')
  eq(names(P.list(at('*.'))), 'noext', 'list of names without extension')
  eq(#P.list(at([[missing\*]])), 0, 'list in a missing directory')

  -- file operations with backslash paths
  assert(P.copy(at('b.txt'), at('copy.txt')))
  eq(read(at('copy.txt')), 'text of b.txt\r\n', 'copy')
  eq(P.copy(at('c.csv'), at('COPY.TXT'), true), nil, 'copy onto an existing name (any case)')
  assert(P.rename(at('copy.txt'), at('renamed.txt')))
  eq(P.move(at('renamed.txt'), at('b.txt')), nil, 'move never replaces')
  assert(P.move(at('renamed.txt'), at([[sub\deeper\moved.txt]])))
  eq(P.isfile(at('renamed.txt')), false, 'moved away')
  assert(P.remove(at([[sub\deeper\moved.txt]])))

  -- zip: an entry named with either separator lands in the directory it names
  local z = zip.create()
  assert(z:open(at('archive.zip')))
  assert(z:add(at('b.txt'), 'slash/one.txt'))
  assert(z:add(at('b.txt'), [[back\two.txt]]))
  z:close()
  assert(z:open(at('archive.zip'), true))
  assert(z:extractall(at('out')))
  z:close()
  eq(read(at([[out\slash\one.txt]])), 'text of b.txt\r\n', 'entry with /')
  eq(read(at([[out\back\two.txt]])), 'text of b.txt\r\n', 'entry with \\')

  -- the program rewrites a file in place, with a backup of the old text
  local program = assert(os.getenv('REDEVUVO_PROGRAM'), 'REDEVUVO_PROGRAM')
  local upper = [[/c "PWL.ForEachLine(function(l) return l:upper() end)"]]
  eq(run('"' .. program .. '" ' .. upper .. ' /i "' .. at('b.txt') .. '" /p /b'), 0, 'in-place run')
  eq(read(at('b.txt')), 'TEXT OF B.TXT\r\n', 'rewritten in place')
  eq(read(at('b.pwl_backup')), 'text of b.txt\r\n', 'backup of the old text')
  -- the same for every file a wildcard finds
  eq(run('"' .. program .. '" ' .. upper .. ' /i "' .. at('*.csv') .. '"'), 0, 'wildcard run')
  eq(read(at('c.csv')), 'TEXT OF C.CSV\r\n', 'wildcard input rewritten in place')
  -- a read-only target is refused and keeps its text
  eq(run('attrib +r "' .. at('A.TXT') .. '"'), 0, 'attrib +r')
  eq(P.isreadonly(at('A.TXT')), true, 'read-only attribute')
  eq(run('"' .. program .. '" ' .. upper .. ' /i "' .. at('A.TXT') .. '" /p 2>nul'), 1,
     'in-place run on a read-only file')
  eq(read(at('A.TXT')), 'text of A.TXT\r\n', 'read-only file unchanged')
  eq(run('attrib -r "' .. at('A.TXT') .. '"'), 0, 'attrib -r')

  -- os.shellexecute through ShellExecuteW: true for a program found along PATH
  -- (nothing waits for it, so what it does is not looked at, and it starts outside
  -- the directory removed below), false for a file
  -- that is not there
  eq(os.shellexecute('open', 'cmd.exe', '/c exit', P.tmpdir(), os.SHOWMINNOACTIVE), true,
     'shellexecute of cmd.exe')
  eq(os.shellexecute('open', at('missing.exe')), false, 'shellexecute of a missing file')
end

local ok, message = xpcall(main, debug.traceback)
run('rmdir /s /q "' .. base .. '"')
assert(ok, message)
eq(P.exists(base), false, 'the test directory is removed')
