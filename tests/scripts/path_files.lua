-- os.path: tests on files and directories, and the operations that change the disk,
-- on a fresh tree below the temporary directory (removed at the end).

local P = os.path

local files = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/support/files.lua')
local eq, write, read = files.eq, files.write, files.read

-- nil and exactly the message expected
local function fails(what, expectedMessage, ...)
  local n = select('#', ...)
  local result, message = ...
  assert(n == 2, what .. ": expected nil and a message, got " .. n .. " results")
  eq(result, nil, what .. " (result)")
  eq(message, expectedMessage, what .. " (message)")
end

local function succeeds(what, ...)
  local result, message = ...
  assert(select('#', ...) == 1 and result == true,
         what .. ": expected true, got " .. tostring(result) .. ", " .. tostring(message))
end

local function raises(argument, f, ...)
  local ok, message = pcall(f, ...)
  assert(not ok, "expected an argument error")
  assert(message:find("bad argument #" .. argument, 1, true),
         "expected bad argument #" .. argument .. ", got " .. tostring(message))
end

local function quote(s) return "'" .. s:gsub("'", "'\\''") .. "'" end
local function sh(command)
  assert(os.execute(command), "shell command failed: " .. command)
end
local function output(command)
  local pipe = assert(io.popen(command))
  local text = pipe:read('a')
  pipe:close()
  return (text:gsub('\n$', ''))
end
local function mode(name) return output('stat -c %a ' .. quote(name)) end

local isRoot = output('id -u') == '0'
local startDir = P.currentdir()
local base = os.tmpname()
os.remove(base)
local function at(relative) return base .. '/' .. relative end

local function main()
  succeeds("mkdir of a fresh directory", P.mkdir(base))
  
  -- mkdir: parents too, existing directory, empty and relative names, a file in the way
  succeeds("mkdir with missing parents", P.mkdir(at('x/y/z')))
  eq(P.isdir(at('x/y/z')), true, "nested directory made")
  succeeds("mkdir of an existing directory", P.mkdir(at('x/y')))
  fails("mkdir of the empty name", ": Cannot create directory", P.mkdir(''))
  write(at('plain'))
  fails("mkdir over a file", at('plain') .. ": Cannot create directory", P.mkdir(at('plain')))
  fails("mkdir below a file", at('plain/sub') .. ": Cannot create directory",
        P.mkdir(at('plain/sub')))

  -- chdir and currentdir; a relative mkdir is taken from the current directory
  succeeds("chdir", P.chdir(base))
  eq(P.currentdir(), base, "currentdir after chdir")
  succeeds("relative mkdir", P.mkdir('rel/sub'))
  eq(P.isdir(at('rel/sub')), true, "relative mkdir made below the current directory")
  eq(P.isfile('plain'), true, "a relative name is taken from the current directory")
  fails("chdir to a missing directory", at('none') .. ": No such directory", P.chdir(at('none')))
  fails("chdir to a file", 'plain' .. ": No such directory", P.chdir('plain'))
  if not isRoot then
    sh('mkdir ' .. quote(at('closed')) .. ' && chmod 000 ' .. quote(at('closed')))
    fails("chdir into a directory without search permission",
          at('closed') .. ": Cannot set directory", P.chdir(at('closed')))
    sh('chmod 755 ' .. quote(at('closed')))
  end

  -- a small tree of every kind of entry
  write(at('file.txt'), '12345')
  write(at('.hidden'))
  P.mkdir(at('dir'))
  write(at('dir/inner.txt'))
  P.mkdir(at('empty'))
  sh('cd ' .. quote(base) .. ' && ln -s file.txt link_to_file && ln -s dir link_to_dir' ..
     ' && ln -s missing dangling && ln -s loop_b loop_a && ln -s loop_a loop_b')

  -- exists, isfile, isdir, islink, flags
  local kinds = {
    -- name, exists, isfile, isdir, islink, flags
    {'file.txt', true, true, false, false, 0},
    {'.hidden', true, true, false, false, 2},
    {'dir', true, false, true, false, 16},
    {'link_to_file', true, true, false, true, 1024},
    {'link_to_dir', true, false, true, true, 1040},
    {'dangling', false, false, false, true, 1024},
    {'loop_a', false, false, false, true, 1024},
    {'missing', false, false, false, false, 4294967295},
  }
  for _, k in ipairs(kinds) do
    local name = at(k[1])
    eq(P.exists(name), k[2], "exists " .. k[1])
    eq(P.isfile(name), k[3], "isfile " .. k[1])
    eq(P.isdir(name), k[4], "isdir " .. k[1])
    eq(P.islink(name), k[5], "islink " .. k[1])
    eq(P.flags(name), k[6], "flags " .. k[1])
    eq(math.type(P.flags(name)), 'integer', "flags is an integer")
  end
  eq(P.exists(''), false, "the empty name does not exist")
  eq(P.isfile(at('file.txt/x')), false, "a name below a file does not exist")
  eq(P.flags(''), 4294967295, "flags of the empty name")
  eq(P.exists('/'), true, "the root exists")
  eq(P.isdir('/'), true, "the root is a directory")

  -- read-only: no write bit at all, which holds for root as well
  write(at('ro.txt'), 'locked')
  sh('chmod 444 ' .. quote(at('ro.txt')))
  eq(P.flags(at('ro.txt')), 1, "flags of a read-only file")
  eq(P.isreadonly(at('ro.txt')), true, "isreadonly of a read-only file")
  eq(P.isreadonly(at('file.txt')), false, "isreadonly of a writable file")
  eq(P.isreadonly(at('dir')), false, "isreadonly of a writable directory")
  P.mkdir(at('rodir'))
  sh('chmod 555 ' .. quote(at('rodir')))
  eq(P.isreadonly(at('rodir')), true, "isreadonly of a directory without write bit")
  eq(P.flags(at('rodir')), 17, "flags of a read-only directory")
  eq(P.isreadonly(at('link_to_file')), false, "isreadonly follows a link")
  fails("isreadonly of a missing name", at('missing') .. ": No such file or directory",
        P.isreadonly(at('missing')))
  fails("isreadonly of a dangling link", at('dangling') .. ": No such file or directory",
        P.isreadonly(at('dangling')))

  -- size
  eq(P.size(at('file.txt')), 5, "size")
  eq(math.type(P.size(at('file.txt'))), 'integer', "size is an integer")
  eq(P.size(at('link_to_file')), 5, "size through a link")
  write(at('empty.txt'), '')
  eq(P.size(at('empty.txt')), 0, "size of an empty file")
  fails("size of a directory", at('dir') .. ": No such file or directory", P.size(at('dir')))
  fails("size of a missing file", at('missing') .. ": No such file or directory",
        P.size(at('missing')))

  -- time: last write, creation, last access; local clock, two-second resolution
  local function localSeconds(y, m, d, hh, mm, ss)
    -- days from 1970-01-01 in the proleptic Gregorian calendar
    y = (m <= 2) and y - 1 or y
    local era = (y >= 0 and y or y - 399) // 400
    local yoe = y - era * 400
    local doy = (153 * (m + (m > 2 and -3 or 9)) + 2) // 5 + d - 1
    local doe = yoe * 365 + yoe // 4 - yoe // 100 + doy
    local days = era * 146097 + doe - 719468
    return days * 86400 + hh * 3600 + mm * 60 + ss
  end
  eq(localSeconds(1970, 1, 2, 0, 0, 0), 86400, "the test's own calendar")
  write(at('dated.txt'))
  sh('touch -m -d "2001-02-03 04:05:07" ' .. quote(at('dated.txt')))
  sh('touch -a -d "2002-03-04 05:06:08" ' .. quote(at('dated.txt')))
  local n = select('#', P.time(at('dated.txt')))
  eq(n, 3, "time gives three results")
  local lastWrite, created, lastAccess = P.time(at('dated.txt'))
  eq(lastWrite, localSeconds(2001, 2, 3, 4, 5, 6), "last-write time first, seconds rounded down to two")
  eq(lastAccess, localSeconds(2002, 3, 4, 5, 6, 8), "last-access time third")
  eq(math.type(created), 'integer', "creation time is an integer")
  assert(created ~= lastWrite, "the creation time is not the last-write time here")
  write(at('old.txt'))
  sh('touch -d "1975-06-01 12:00:00" ' .. quote(at('old.txt')))
  local oldWrite, _, oldAccess = P.time(at('old.txt'))
  eq(oldWrite, -2209161600, "a time before 1980")
  eq(oldAccess, -2209161600, "an access time before 1980")
  fails("time of a directory", at('dir') .. ": No such file or directory", P.time(at('dir')))
  fails("time of a missing file", at('missing') .. ": No such file or directory",
        P.time(at('missing')))

  -- isempty
  eq(P.isempty(at('empty')), true, "isempty of an empty directory")
  eq(P.isempty(at('dir')), false, "isempty of a directory with a file")
  P.mkdir(at('onlyhidden'))
  write(at('onlyhidden/.h'))
  eq(P.isempty(at('onlyhidden')), false, "a hidden file counts")
  fails("isempty of a missing directory", at('missing') .. ": No such directory",
        P.isempty(at('missing')))
  fails("isempty of a file", at('file.txt') .. ": No such directory", P.isempty(at('file.txt')))

  -- copy
  succeeds("copy", P.copy(at('file.txt'), at('copy.txt')))
  eq(read(at('copy.txt')), '12345', "copied content")
  write(at('other.txt'), 'other')
  fails("copy onto an existing target with failifexists",
        at('other.txt') .. ": Cannot copy file", P.copy(at('other.txt'), at('copy.txt'), true))
  eq(read(at('copy.txt')), '12345', "target kept")
  succeeds("copy overwrites", P.copy(at('other.txt'), at('copy.txt')))
  eq(read(at('copy.txt')), 'other', "target overwritten")
  succeeds("copy with failifexists nil overwrites", P.copy(at('file.txt'), at('copy.txt'), nil))
  eq(read(at('copy.txt')), '12345', "nil is false")
  fails("copy with failifexists 0", at('file.txt') .. ": Cannot copy file",
        P.copy(at('file.txt'), at('copy.txt'), 0))
  succeeds("copy to a new name with failifexists", P.copy(at('file.txt'), at('new.txt'), true))
  fails("copy of a missing file", at('missing') .. ": No such file or directory",
        P.copy(at('missing'), at('x')))
  fails("copy of a directory", at('dir') .. ": No such file or directory",
        P.copy(at('dir'), at('x')))
  fails("copy onto a directory", at('file.txt') .. ": Cannot copy file",
        P.copy(at('file.txt'), at('dir')))
  fails("copy onto a read-only file", at('file.txt') .. ": Cannot copy file",
        P.copy(at('file.txt'), at('ro.txt')))
  eq(read(at('ro.txt')), 'locked', "a read-only target is never overwritten")
  fails("copy into a missing directory", at('file.txt') .. ": Cannot copy file",
        P.copy(at('file.txt'), at('none/x')))
  sh('chmod 751 ' .. quote(at('other.txt')))
  succeeds("copy carries the mode", P.copy(at('other.txt'), at('moded.txt')))
  eq(mode(at('moded.txt')), '751', "mode bits copied")
  succeeds("copy of a read-only file", P.copy(at('ro.txt'), at('ro_copy.txt')))
  eq(mode(at('ro_copy.txt')), '444', "a copy of a read-only file is read-only")
  succeeds("copy of a file onto itself", P.copy(at('file.txt'), at('file.txt')))
  eq(read(at('file.txt')), '12345', "copy onto itself keeps the content")
  succeeds("copy through a link", P.copy(at('link_to_file'), at('via_link.txt')))
  eq(P.islink(at('via_link.txt')), false, "the copy of a link is a file")
  sh('mkfifo ' .. quote(at('fifo')))
  fails("copy of a FIFO does not block", at('fifo') .. ": Cannot copy file",
        P.copy(at('fifo'), at('fifo_copy')))

  -- move: files only, never onto an existing name
  succeeds("move", P.move(at('copy.txt'), at('moved.txt')))
  eq(P.exists(at('copy.txt')), false, "moved away")
  eq(read(at('moved.txt')), '12345', "moved content")
  fails("move onto an existing file", at('moved.txt') .. ": Cannot move file",
        P.move(at('moved.txt'), at('other.txt')))
  eq(read(at('moved.txt')), '12345', "source kept")
  eq(read(at('other.txt')), 'other', "target kept")
  fails("move of a directory", at('dir') .. ": No such file or directory",
        P.move(at('dir'), at('dir2')))
  eq(P.isdir(at('dir')), true, "directory not moved")
  fails("move of a missing file", at('missing') .. ": No such file or directory",
        P.move(at('missing'), at('x')))
  fails("move into a missing directory", at('moved.txt') .. ": Cannot move file",
        P.move(at('moved.txt'), at('none/x')))
  succeeds("move of a read-only file", P.move(at('ro_copy.txt'), at('ro_moved.txt')))
  eq(mode(at('ro_moved.txt')), '444', "mode kept")
  local otherFs = '/dev/shm'
  if P.isdir(otherFs) and output('stat -c %d ' .. quote(base)) ~= output('stat -c %d /dev/shm') then
    local far = otherFs .. '/' .. P.basename(base) .. '_far'
    os.remove(far)
    succeeds("move to another file system", P.move(at('moved.txt'), far))
    eq(P.exists(at('moved.txt')), false, "source removed after the copy")
    eq(read(far), '12345', "content arrived")
    write(at('second.txt'), 'second')
    fails("move to another file system onto an existing file",
          at('second.txt') .. ": Cannot move file", P.move(at('second.txt'), far))
    eq(read(far), '12345', "existing target kept")
    succeeds("move back", P.move(far, at('moved.txt')))
    fails("a directory does not rename across file systems",
          at('empty') .. ": Cannot rename file or directory", P.rename(at('empty'), far))
    eq(P.exists(far), false, "nothing left on the other file system")
  end

  -- rename: files and directories, never onto an existing name
  succeeds("rename a file", P.rename(at('moved.txt'), at('renamed.txt')))
  eq(read(at('renamed.txt')), '12345', "renamed content")
  fails("rename onto an existing name", at('other.txt') .. ": File or directory already exist",
        P.rename(at('renamed.txt'), at('other.txt')))
  eq(read(at('renamed.txt')), '12345', "old name untouched")
  fails("rename onto an existing directory", at('dir') .. ": File or directory already exist",
        P.rename(at('renamed.txt'), at('dir')))
  fails("rename onto a dangling link", at('renamed.txt') .. ": Cannot rename file or directory",
        P.rename(at('renamed.txt'), at('dangling')))
  eq(P.islink(at('dangling')), true, "the dangling link stays")
  succeeds("rename a directory", P.rename(at('dir'), at('dir2')))
  eq(read(at('dir2/inner.txt')), 'hello', "directory content moved along")
  succeeds("rename it back", P.rename(at('dir2'), at('dir')))
  fails("rename a missing name", at('missing') .. ": No such file or directory",
        P.rename(at('missing'), at('x')))
  fails("rename into a missing directory", at('renamed.txt') .. ": Cannot rename file or directory",
        P.rename(at('renamed.txt'), at('none/x')))
  fails("rename a directory into itself", at('dir') .. ": Cannot rename file or directory",
        P.rename(at('dir'), at('dir/sub')))

  -- rmdir
  fails("rmdir of a non-empty directory", at('dir') .. ": Cannot remove directory",
        P.rmdir(at('dir')))
  fails("rmdir of a missing directory", at('missing') .. ": No such directory",
        P.rmdir(at('missing')))
  fails("rmdir of a file", at('file.txt') .. ": No such directory", P.rmdir(at('file.txt')))
  P.mkdir(at('gone'))
  succeeds("rmdir", P.rmdir(at('gone')))
  eq(P.exists(at('gone')), false, "directory removed")
  sh('ln -s dir ' .. quote(at('dirlink2')))
  succeeds("rmdir of a link to a directory", P.rmdir(at('dirlink2')))
  eq(P.islink(at('dirlink2')), false, "the link is gone")
  eq(P.isfile(at('dir/inner.txt')), true, "the directory behind the link is untouched")

  -- remove
  succeeds("remove a file", P.remove(at('renamed.txt')))
  eq(P.exists(at('renamed.txt')), false, "file removed")
  succeeds("remove an empty directory", P.remove(at('empty')))
  eq(P.exists(at('empty')), false, "directory removed")
  fails("remove a non-empty directory", at('dir') .. ": Cannot remove directory",
        P.remove(at('dir')))
  fails("remove a missing name", at('missing') .. ": No such file or directory",
        P.remove(at('missing')))
  succeeds("remove a link to a file", P.remove(at('link_to_file')))
  eq(P.isfile(at('file.txt')), true, "the file behind the link stays")
  succeeds("remove a link to a directory", P.remove(at('link_to_dir')))
  eq(P.isfile(at('dir/inner.txt')), true, "the directory behind the link stays")
  succeeds("remove a dangling link", P.remove(at('dangling')))
  eq(P.islink(at('dangling')), false, "dangling link removed")
  succeeds("remove a link loop", P.remove(at('loop_a')))
  succeeds("remove a FIFO", P.remove(at('fifo')))

  -- a directory whose entries cannot be removed: no write permission (enough for
  -- anyone but root), immutable where root may set that
  P.mkdir(at('locked/sub'))
  write(at('locked/f.txt'))
  sh('chmod 555 ' .. quote(at('locked')))
  if isRoot then os.execute('chattr +i ' .. quote(at('locked')) .. ' 2>/dev/null') end
  local probe = io.open(at('locked/probe'), 'w')
  if probe then
    probe:close()
    os.remove(at('locked/probe'))
  else
    fails("remove of a file that cannot be removed", at('locked/f.txt') .. ": Cannot remove file",
          P.remove(at('locked/f.txt')))
    fails("rmdir of a directory that cannot be removed",
          at('locked/sub') .. ": Cannot remove directory", P.rmdir(at('locked/sub')))
    fails("remove of a directory that cannot be removed",
          at('locked/sub') .. ": Cannot remove directory", P.remove(at('locked/sub')))
    fails("move out of it", at('locked/f.txt') .. ": Cannot move file",
          P.move(at('locked/f.txt'), at('out.txt')))
    eq(P.isfile(at('locked/f.txt')), true, "the file stays")
  end
  if isRoot then os.execute('chattr -i ' .. quote(at('locked')) .. ' 2>/dev/null') end
  sh('chmod 755 ' .. quote(at('locked')))

  -- messages repeat the argument's bytes; numbers are strings
  fails("a number as name", "12345: No such file or directory", P.size(12345))
  fails("zero bytes in a name", at('a\0b') .. ": No such file or directory", P.size(at('a\0b')))
  eq(P.exists(at('file.txt\0junk')), false, "a name with a zero byte never reaches the system")

  -- names with a line break
  local newline = at('line\nbreak.txt')
  write(newline, 'nl')
  eq(P.isfile(newline), true, "isfile of a name with a line break")
  eq(P.size(newline), 2, "size of a name with a line break")
  succeeds("copy of a name with a line break", P.copy(newline, newline .. '2'))
  succeeds("rename of a name with a line break", P.rename(newline .. '2', at('a\nb')))
  succeeds("remove of a name with a line break", P.remove(at('a\nb')))

  -- names that are not valid in the code page are handled as themselves, byte for
  -- byte, and never stand for another file
  local badName = at('bad\255name')
  local lookalike = at('bad\239\191\189name') -- what the invalid byte would decode to
  write(badName, 'bad')
  write(lookalike, 'lookalike')
  eq(P.exists(badName), true, "an invalid name is found")
  eq(P.isfile(badName), true, "isfile of an invalid name")
  eq(P.size(badName), 3, "size of an invalid name")
  eq(P.basename(badName), 'bad\255name', "basename keeps the bytes")
  local listed = P.list(at('bad*'))
  table.sort(listed)
  eq(table.concat(listed, '|'), lookalike .. '|' .. badName, "both names listed as themselves")
  succeeds("copy onto an invalid name", P.copy(at('file.txt'), at('copy\255')))
  eq(read(at('copy\255')), read(at('file.txt')), "the copy has the invalid name")
  succeeds("rename to an invalid name", P.rename(at('copy\255'), at('moved\254')))
  eq(P.exists(at('copy\255')), false, "renamed away")
  succeeds("mkdir of an invalid name", P.mkdir(at('bad\255dir')))
  eq(P.isdir(at('bad\255dir')), true, "the directory has the invalid name")
  succeeds("remove of an invalid name", P.remove(at('moved\254')))
  eq(read(badName), 'bad', "the invalid name is untouched")
  eq(read(lookalike), 'lookalike', "its look-alike is untouched")

  -- argument errors come before any work
  raises(1, P.copy)
  raises(2, P.copy, at('file.txt'))
  raises(2, P.move, at('file.txt'))
  raises(1, P.move, nil, at('x'))
  raises(2, P.rename, at('file.txt'))
  raises(1, P.remove)
  raises(1, P.rmdir, {})
  raises(1, P.mkdir)
  raises(1, P.chdir)
  raises(1, P.size)
  raises(1, P.time)
  raises(1, P.flags)
  raises(1, P.isempty)
  raises(1, P.isreadonly)
  raises(1, P.exists)
  raises(1, P.isfile)
  raises(1, P.isdir)
  raises(1, P.islink)
  raises(2, P.copy, at('file.txt'), {})
  eq(P.isfile(at('file.txt')), true, "nothing done by a call with a bad argument")
end

local ok, err = xpcall(main, debug.traceback)
P.chdir(startDir)
if isRoot then os.execute('chattr -R -i ' .. quote(base) .. ' 2>/dev/null') end
os.execute('chmod -R u+rwx ' .. quote(base) .. ' 2>/dev/null; rm -rf ' .. quote(base) ..
           ' ' .. quote('/dev/shm/' .. P.basename(base) .. '_far'))
assert(ok, err)
eq(P.exists(base), false, "tree removed")
