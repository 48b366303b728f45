-- os.path: the table itself, the text functions and the argument conventions. On this
-- system "/" is the only separator and there are no drives or network prefixes.

local P = os.path

local files = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/files.lua')
local eq = files.eq

local function eq2(what, expectedA, expectedB, ...)
  local n = select('#', ...)
  assert(n == 2, what .. ": expected two results, got " .. n)
  local a, b = ...
  eq(a, expectedA, what .. " (first)")
  eq(b, expectedB, what .. " (second)")
end

local function raises(argument, f, ...)
  local ok, message = pcall(f, ...)
  assert(not ok, "expected an argument error")
  assert(message:find("bad argument #" .. argument, 1, true),
         "expected bad argument #" .. argument .. ", got " .. tostring(message))
end

-- the table: 36 functions and two constants, only under os
local names = {'basename', 'changedir', 'changeext', 'chdir', 'copy', 'currentdir', 'dirname',
               'drive', 'exists', 'extension', 'filename', 'flags', 'fullpath', 'isdir',
               'isempty', 'isfile', 'islink', 'isreadonly', 'isrelativepath', 'join',
               'joinpath', 'list', 'listinfo', 'mkdir', 'move', 'relativepath', 'remove',
               'rename', 'rmdir', 'size', 'split', 'splitdrive', 'splitext', 'splitpath',
               'time', 'tmpdir'}
eq(#names, 36, "function names")
for _, name in ipairs(names) do
  eq(type(P[name]), 'function', "os.path." .. name)
end
local count = 0
for _ in pairs(P) do count = count + 1 end
eq(count, 38, "entries of os.path")
eq(P.DIR_SEP, "/", "DIR_SEP")
eq(P.PATH_SEP, ":", "PATH_SEP")
eq(rawget(_G, 'path'), nil, "global path")

-- basename, dirname, drive, extension, filename
eq(P.basename('/usr/x.txt'), 'x.txt', "basename")
eq(P.basename('x.txt'), 'x.txt', "basename without directory")
eq(P.basename('dir/'), '', "basename of a directory with separator")
eq(P.basename('C:\\d\\f.txt'), 'C:\\d\\f.txt', "backslash is an ordinary character")
eq(P.dirname('/usr/x.txt'), '/usr', "dirname")
eq(P.dirname('/x'), '/', "dirname at the root")
eq(P.dirname('/'), '/', "dirname of the root")
eq(P.dirname('dir/'), 'dir', "dirname of dir/")
eq(P.dirname('f'), '', "dirname of a bare name")
eq(P.dirname('a/b/c'), 'a/b', "dirname of a relative path")
eq(P.drive('/usr/x'), '', "no drives")
eq(P.drive('C:/x'), '', "C: is an ordinary name")
eq(P.drive('//srv/share/x'), '', "no network prefixes")
eq(P.extension('/usr/x.txt'), '.txt', "extension")
eq(P.extension('/d/archive.tar.gz'), '.gz', "extension of archive.tar.gz")
eq(P.extension('file.'), '.', "extension of file.")
eq(P.extension('dir.x/file'), '', "a dot in the directory is no extension")
eq(P.extension('noext'), '', "no extension")
eq(P.filename('/d/archive.tar.gz'), 'archive.tar', "filename")
eq(P.filename('dir.x/file'), 'file', "filename without extension")
eq(P.filename('.profile'), '', "a leading dot is all extension")

-- changeext: the extension is used unchanged
eq(P.changeext('a.txt', 'bak'), 'abak', "changeext adds no dot")
eq(P.changeext('a.txt'), 'a', "changeext without extension removes it")
eq(P.changeext('a.txt', nil), 'a', "changeext with nil removes it")
eq(P.changeext('a.txt', '.bak'), 'a.bak', "changeext")
eq(P.changeext('a', '.bak'), 'a.bak', "changeext of a name without extension")
eq(P.changeext('d.x/a', '.y'), 'd.x/a.y', "changeext ignores dots in the directory")
eq(P.changeext('.profile'), '', "changeext of .profile")

-- changedir: dir with a trailing separator, then the file name
eq(P.changedir('/a/b.txt', '/c'), '/c/b.txt', "changedir")
eq(P.changedir('b.txt', '/c/'), '/c/b.txt', "changedir keeps one separator")
eq(P.changedir('/a/b.txt', ''), '/b.txt', "changedir to an empty directory")
eq(P.changedir('/a/', 'x'), 'x/', "changedir of a path without file name")

-- fullpath: absolute and canonical, no disk access beyond the current directory
local cwd = P.currentdir()
assert(cwd:sub(1, 1) == '/', "current directory is absolute: " .. cwd)
eq(P.fullpath('.'), cwd, "fullpath of .")
eq(P.fullpath('a/../b'), (cwd == '/' and '' or cwd) .. '/b', "fullpath of a relative path")
eq(P.fullpath('/a/./b//c/..'), '/a/b', "fullpath canonicalises")
eq(P.fullpath('/..'), '/', "fullpath stays at the root")
eq(P.fullpath(''), '', "fullpath of the empty path")
eq(P.fullpath('/no/such/dir/x'), '/no/such/dir/x', "fullpath does not need the file")

-- relativepath: base is always a directory; names compare exactly
eq(P.relativepath('/a/b', '/a/c/f.txt'), '../c/f.txt', "relativepath")
eq(P.relativepath('/a/', '/a/f.txt'), 'f.txt', "relativepath to the base itself")
eq(P.relativepath('/a', '/a/f.txt'), 'f.txt', "base without separator is a directory")
eq(P.relativepath('/a', 'x/y'), 'x/y', "one absolute, one relative: target unchanged")
eq(P.relativepath('/A/', '/a/f'), '../a/f', "case matters")
eq(P.relativepath('/a/b/c', '/x'), '../../../x', "up to the root")

-- splitdrive, splitext, split and splitpath give two results
eq2("splitdrive of a network-like path", '', '//srv/share/x', P.splitdrive('//srv/share/x'))
eq2("splitdrive of x", '', 'x', P.splitdrive('x'))
eq2("splitext", '/d/archive.tar', '.gz', P.splitext('/d/archive.tar.gz'))
eq2("splitext without extension", 'd.x/file', '', P.splitext('d.x/file'))
eq2("split at the root", '/', 'f', P.split('/f'))
eq2("split", '/usr', 'x.txt', P.split('/usr/x.txt'))
eq2("split of dir/", 'dir', '', P.split('dir/'))
eq2("split of a bare name", '', 'f', P.split('f'))
eq2("splitpath", '/usr', 'x.txt', P.splitpath('/usr/x.txt'))

-- join and joinpath
eq(P.join('/dir', '../x'), '/x', "join climbs")
eq(P.join('a', '/b'), '/b', "an absolute part replaces the first")
eq(P.join('', 'b/./c'), 'b/c', "empty first gives the second, canonical")
eq(P.join('a', ''), 'a', "empty second gives the first")
eq(P.join('a', 'b', 'c'), 'a/b/c', "three parts")
eq(P.join('/a/', 'b/', 'c'), '/a/b/c', "one separator between parts")
eq(P.join('a', 'b', 5), 'a/b/5', "a number is a string")
eq(P.join('/a', 'b', '../..', '..'), '/', "join stays at the root")
eq(P.joinpath('/dir', '../x'), '/x', "joinpath")
eq(P.join(string.rep('a', 4000), string.rep('b', 94)), string.rep('a', 4000) .. '/' ..
   string.rep('b', 94), "4095 characters fit")
eq(select('#', P.join(string.rep('a', 4000), string.rep('b', 95))), 1, "overlong: one result")
eq(P.join(string.rep('a', 4000), string.rep('b', 95)), nil, "overlong: nil")
eq(P.join('a', string.rep('b', 4000), string.rep('c', 200)), nil, "overlong later: nil")
raises(2, P.join, 'a')
raises(1, P.join)
raises(2, P.join, 'a', {})
raises(3, P.join, 'a', 'b', nil)
-- every argument is read first, even after a combination that fails
raises(3, P.join, string.rep('a', 4000), string.rep('b', 200), {})

-- isrelativepath
eq(P.isrelativepath('a/b'), true, "a/b is relative")
eq(P.isrelativepath('./a'), true, "./a is relative")
eq(P.isrelativepath(''), true, "the empty path is relative")
eq(P.isrelativepath('C:\\x'), true, "C:\\x is a relative name here")
eq(P.isrelativepath('/a'), false, "/a is absolute")
eq(P.isrelativepath('//srv/x'), false, "//srv/x is absolute")

-- tmpdir and currentdir
local tmp = os.getenv('TMPDIR')
if tmp == nil or tmp == '' then tmp = '/tmp' elseif #tmp > 1 then tmp = tmp:gsub('/$', '') end
eq(P.tmpdir(), tmp, "tmpdir")
eq(select('#', P.currentdir()), 1, "currentdir gives one result")

-- argument conventions: numbers are strings, zero bytes stay, wrong types raise
eq(P.basename(12), '12', "a number as path")
eq(P.basename('/d/a\0b'), 'a\0b', "zero bytes stay")
eq(P.extension('a.\0x'), '.\0x', "zero bytes stay in the extension")
eq(P.basename('/d/\255\254'), '\255\254', "invalid bytes stay as they are")
raises(1, P.basename)
raises(1, P.basename, nil)
raises(1, P.basename, {})
raises(1, P.dirname, true)
raises(2, P.changedir, 'a')
raises(2, P.relativepath, 'a')
raises(1, P.splitext, print)
raises(1, P.fullpath)
raises(1, P.isrelativepath)
for _, name in ipairs({'basename', 'dirname', 'drive', 'extension', 'filename', 'changeext',
                       'fullpath', 'isrelativepath'}) do
  eq(select('#', P[name]('x')), 1, name .. " gives one result")
end
-- surplus arguments are ignored
eq(P.basename('/a/b', 'c', {}), 'b', "surplus arguments")
