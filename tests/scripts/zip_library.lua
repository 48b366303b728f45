-- The zip library as scripts see it: objects, their life cycle, methods and messages.

local tmp = os.tmpname()
os.remove(tmp)
assert(os.execute("mkdir -p '" .. tmp .. "'"))
local function path(name) return tmp .. "/" .. name end
local function write(name, content)
  local f = assert(io.open(path(name), "wb")); f:write(content); f:close()
  return path(name)
end
local function read(name)
  local f = io.open(name, "rb"); if not f then return nil end
  local s = f:read("a"); f:close(); return s
end
local function errorOf(f, ...)
  local ok, message = pcall(f, ...)
  assert(not ok, "an error was expected")
  return message
end
local function openMessage(name) return 'cannot create or open zip file "' .. name .. '"' end

-- construction and the closed object
local z = zip()
assert(type(z) == "userdata")
assert(type(zip.create(1, 2, 3)) == "userdata")
assert(type(zip("ignored")) == "userdata")
local count, message = z:filecount()
assert(count == nil and message == "no zip file open")
assert(#zip() == nil)
assert(tostring(zip()) == "zip")
local name, file, isOpen = debug.getmetatable(z).__tostring(z)
assert(name == "zip" and file == "" and isOpen == false)
for _, method in ipairs({"add", "extract", "extractall", "fileinfo", "filename", "filenames",
                         "indexof", "getcomment", "setcomment", "getfilecomment",
                         "setfilecomment"}) do
  local r, m = z[method](z) -- other arguments are not read on a closed object
  assert(r == nil and m == "no zip file open", method)
end
-- closing a closed object loses nothing
assert(select("#", z:close()) == 1 and z:close() == true)

-- a bad object
assert(errorOf(z.open, {}):find("zevuvu.zip expected, got table", 1, true))
assert(errorOf(z.filecount):find("zevuvu.zip expected, got no value", 1, true))
assert(errorOf(z.close, "x"):find("zevuvu.zip expected, got string", 1, true))

-- fields and metatables are protected
z.foo = 1
assert(z.foo == nil)
zip.foo = 1
assert(zip.foo == nil)
zip.create = 1
assert(type(zip.create) == "function")
assert(type(getmetatable(z)) == "function")
assert(type(getmetatable(zip)) == "function")
assert(not pcall(setmetatable, zip, {}))

-- open: missing names, creation of an empty archive
local r
r, message = z:open("")
assert(r == nil and message == "no filename given")
r, message = z:open(path("missing.zip"), true)
assert(r == nil and message == openMessage(path("missing.zip")))
assert(read(path("missing.zip")) == nil)
assert(z:open(path("new.zip")) == true)
name, file, isOpen = debug.getmetatable(z).__tostring(z)
assert(file == path("new.zip") and isOpen == true)
assert(z:filecount() == 0 and #z == 0)
assert(z:close() == true)
assert(read(path("new.zip")) == "PK\5\6" .. string.rep("\0", 18))
assert(z:getcomment() == nil)

-- add: bare name, backslash kept, stored, duplicates
local source = write("source.txt", "line one\nline two\n")
write("other.txt", string.rep("abc", 1000))
assert(z:open(path("a.zip")))
assert(z:add(source) == true)
assert(z:add(path("other.txt"), "dir\\x.txt", true) == true)
assert(z:add(source, "sub/deep/y.txt"))
assert(z:add(source))
r, message = z:add(path("nothing.txt"))
assert(r == nil and message == "cannot add file")
assert(z:filecount() == 4 and #z == 4)
local names = z:filenames()
assert(#names == 4 and names[1] == "source.txt" and names[2] == "dir\\x.txt" and
       names[3] == "sub/deep/y.txt" and names[4] == "source.txt")
assert(z:indexof("source.txt") == 1 and z:indexof("dir\\x.txt") == 2)
assert(z:indexof("missing") == 0 and z:indexof("SOURCE.TXT") == 0)
assert(z:filename(2) == "dir\\x.txt")
z:setcomment("archive\0comment")
z:setfilecomment("dir\\x.txt", "entry comment")
z:setfilecomment(3)
assert(z:getfilecomment(2) == "entry comment" and z:getfilecomment(3) == "")
-- write-only archive: nothing can be extracted yet
r, message = z:extract(1, path("out"))
assert(r == nil and message == "cannot extract file")
r, message = z:extractall(path("out"))
assert(r == nil and message == "cannot extract files")
z:close()

-- reading back
assert(z:open(path("a.zip"), true))
assert(z:getcomment() == "archive\0comment")
assert(z:getfilecomment(2) == "entry comment")
local info = z:fileinfo(1)
local keys = 0
for _ in pairs(info) do keys = keys + 1 end
assert(keys == 8)
assert(info.CompressionMethod == 8 and info.Flag & 0x800 == 0x800)
assert(info.UncompressedSize == 18 and info.MadeByVersion == 20 and info.RequiredVersion == 20)
assert(math.type(info.CRC32) == "integer" and info.CRC32 > 0)
assert(info.ModifiedDateTime >> 16 > 0)
local stored = z:fileinfo("dir\\x.txt")
assert(stored.CompressionMethod == 0 and stored.CompressedSize == 3000 and
       stored.UncompressedSize == 3000)
assert(z:fileinfo(4).CRC32 == info.CRC32)

-- range errors
assert(errorOf(z.fileinfo, z, "missing"):find("index out of range", 1, true))
assert(errorOf(z.fileinfo, z, 0):find("index out of range", 1, true))
assert(errorOf(z.fileinfo, z, 5):find("index out of range", 1, true))
assert(errorOf(z.filename, z, 5):find("index out of range", 1, true))
assert(errorOf(z.filename, z, "x"):find("number expected", 1, true))
assert(errorOf(z.getfilecomment, z, -1):find("index out of range", 1, true))
assert(errorOf(z.setfilecomment, z, "missing", "c"):find("index out of range", 1, true))
assert(errorOf(z.extract, z, 9):find("index out of range", 1, true))
assert(errorOf(z.fileinfo, z, 1.5):find("number has no integer representation", 1, true))
r, message = z:extract("missing", path("out"))
assert(r == nil and message == "cannot extract file")

-- extraction
-- without subdirs no directory is made, not even the target itself
r, message = z:extract(3, path("flat"), false)
assert(r == nil and message == "cannot extract file")
assert(os.execute("mkdir '" .. path("flat") .. "'"))
assert(z:extract(3, path("flat"), false))
assert(read(path("flat/y.txt")) == "line one\nline two\n")
assert(z:extract("sub/deep/y.txt", path("tree")))
assert(read(path("tree/sub/deep/y.txt")) == "line one\nline two\n")
assert(z:extractall(path("all")) == true)
assert(read(path("all/source.txt")) == "line one\nline two\n")
assert(read(path("all/dir/x.txt")) == string.rep("abc", 1000))
-- a read-only target file is not overwritten
assert(os.execute("mkdir '" .. path("ro") .. "'"))
write("ro/source.txt", "old")
assert(os.execute("chmod 444 '" .. path("ro/source.txt") .. "'"))
r, message = z:extract(1, path("ro"))
assert(r == nil and message == "cannot extract file")
assert(read(path("ro/source.txt")) == "old")

-- a failed open closes the archive that was open
r, message = z:open(path("nothing.zip"), true)
assert(r == nil and message == openMessage(path("nothing.zip")))
r, message = z:getcomment()
assert(r == nil and message == "no zip file open")

-- a file that is no archive
write("text.zip", "just text")
r, message = z:open(path("text.zip"))
assert(r == nil and message == openMessage(path("text.zip")))
assert(read(path("text.zip")) == "just text")

-- an empty file: an archive without entries for reading and writing only
write("empty.zip", "")
r, message = z:open(path("empty.zip"), true)
assert(r == nil and message == openMessage(path("empty.zip")))
assert(z:open(path("empty.zip")))
assert(z:filecount() == 0)
z:setcomment("now a zip")
z:close()
assert(z:open(path("empty.zip"), true) and z:getcomment() == "now a zip")
z:close()

-- a read-only archive opens for reading; add is refused, nothing is written
local before = read(path("a.zip"))
assert(os.execute("chmod 444 '" .. path("a.zip") .. "'"))
assert(z:open(path("a.zip")))
r, message = z:add(source)
assert(r == nil and message == "cannot add file")
z:setcomment("only in memory")
assert(z:getcomment() == "only in memory")
z:close()
assert(read(path("a.zip")) == before)

-- reading and writing: earlier entries stay, the new one is appended
assert(z:open(path("new.zip")))
assert(z:add(source, "first"))
z:close()
assert(z:open(path("new.zip")))
assert(z:add(source, "second"))
z:setfilecomment("first", "noted")
-- opening another archive writes this one first
assert(z:open(path("a.zip"), true))
assert(z:open(path("new.zip"), true))
assert(#z == 2 and z:filename(1) == "first" and z:filename(2) == "second")
assert(z:getfilecomment(1) == "noted")
assert(z:extractall(path("new")))
assert(read(path("new/second")) == "line one\nline two\n")
z:close()

-- entry names that would leave the target directory are refused
local function crc32(s)
  local c = 0xFFFFFFFF
  for i = 1, #s do
    c = c ~ s:byte(i)
    for _ = 1, 8 do c = (c & 1 == 1) and ((c >> 1) ~ 0xEDB88320) or (c >> 1) end
  end
  return c ~ 0xFFFFFFFF
end
local function buildArchive(entries)
  local body, central = {}, {}
  local offset = 0
  for _, e in ipairs(entries) do
    local crc = crc32(e.data)
    local head = string.pack("<I4I2I2I2I4I4I4I4I2I2", 0x04034b50, 10, 0, 0, 0x58210000, crc,
                             #e.data, #e.data, #e.name, 0) .. e.name
    body[#body + 1] = head .. e.data
    central[#central + 1] = string.pack("<I4I2I2I2I2I4I4I4I4I2I2I2I2I2I4I4", 0x02014b50, 20,
                                        10, 0, 0, 0x58210000, crc, #e.data, #e.data, #e.name,
                                        0, 0, 0, 0, 0, offset) .. e.name
    offset = offset + #head + #e.data
  end
  local directory = table.concat(central)
  return table.concat(body) .. directory ..
             string.pack("<I4I2I2I2I2I4I4I2", 0x06054b50, 0, 0, #entries, #entries,
                         #directory, offset, 0)
end
local evil = {{name = "../evil1.txt", data = "x"}, {name = "..\\evil2.txt", data = "x"},
              {name = "a/../../evil3.txt", data = "x"}, {name = path("evil4.txt"), data = "x"},
              {name = "ok/../fine.txt", data = "fine"}}
write("evil.zip", buildArchive(evil))
assert(z:open(path("evil.zip"), true))
assert(#z == 5)
for i = 1, 4 do
  r, message = z:extract(i, path("target/inner"))
  assert(r == nil and message == "cannot extract file", i)
  r, message = z:extract(i, path("target/inner"), false)
  assert(r == nil and message == "cannot extract file", i)
end
assert(z:extract(5, path("target/inner")))
assert(read(path("target/inner/fine.txt")) == "fine")
r, message = z:extractall(path("target/inner"))
assert(r == nil and message == "cannot extract files")
for i = 1, 4 do
  assert(read(path("evil" .. i .. ".txt")) == nil)
  assert(read(path("target/evil" .. i .. ".txt")) == nil)
end
z:close()

-- entries that share their data (a zip bomb's trick) make no archive
local shared = buildArchive({{name = "a.txt", data = "aaaa"}, {name = "b.txt", data = "bbbb"}})
-- the second central record points at the first entry's local header
local secondRecord = shared:find("PK\1\2", shared:find("PK\1\2", 1, true) + 1, true)
shared = shared:sub(1, secondRecord + 41) .. string.pack("<I4", 0) .. shared:sub(secondRecord + 46)
write("shared.zip", shared)
r, message = z:open(path("shared.zip"), true)
assert(r == nil and message == openMessage(path("shared.zip")))

-- a symbolic link below the target directory is never followed
write("linked.zip", buildArchive({{name = "s/pwned.txt", data = "pwned"}}))
assert(os.execute("mkdir -p '" .. path("outside") .. "' '" .. path("lt") .. "' && ln -s ../outside '" ..
                  path("lt/s") .. "'"))
assert(z:open(path("linked.zip"), true))
r, message = z:extract(1, path("lt"))
assert(r == nil and message == 'cannot extract file: "' .. path("lt/s") .. '" is a symbolic link',
       message)
r, message = z:extractall(path("lt"))
assert(r == nil and message == 'cannot extract files: "' .. path("lt/s") .. '" is a symbolic link')
assert(read(path("outside/pwned.txt")) == nil)
z:close()

-- mutated archives: every answer is a result or nil and a message, never a crash
local good = read(path("new.zip"))
math.randomseed(4711)
local opened = 0
for round = 1, 300 do
  local bytes = {good:byte(1, -1)}
  for _ = 1, math.random(1, 6) do bytes[math.random(#bytes)] = math.random(0, 255) end
  local image = string.char(table.unpack(bytes))
  if round % 7 == 0 then image = image:sub(1, math.random(#image)) end
  write("fuzz.zip", image)
  local fz = zip()
  if fz:open(path("fuzz.zip"), true) then
    opened = opened + 1
    for i = 1, #fz do
      local fi = fz:fileinfo(i)
      assert(math.type(fi.CRC32) == "integer")
      assert(type(fz:filename(i)) == "string")
      local ok, m = fz:extract(i, path("fuzzout"))
      assert(ok == true or m == "cannot extract file")
    end
    local ok, m = fz:extractall(path("fuzzout"))
    assert(ok == true or m == "cannot extract files")
    assert(type(fz:getcomment()) == "string")
  end
  fz:close()
end
assert(opened > 0 and opened < 300)

-- the garbage collector closes and writes an archive left open
do
  local lost = zip()
  assert(lost:open(path("gc.zip")))
  assert(lost:add(source, "collected"))
end
collectgarbage()
collectgarbage()
assert(z:open(path("gc.zip"), true) and z:filename(1) == "collected")
z:close()

os.execute("chmod -R u+w '" .. tmp .. "'; rm -rf '" .. tmp .. "'")
