-- os.path under a single-byte code page (Windows-1252): file names with umlauts reach
-- the system byte for byte.

local P = os.path

local files = dofile(PWL.ScriptFile():match('^(.*)[/\\]') .. '/../support/files.lua')
local eq, write = files.eq, files.write

local base = os.tmpname()
os.remove(base)
local function main()
  assert(P.mkdir(base))
  local umlaut = base .. '/\xE4rger\xFF.txt'
  write(umlaut, 'abc')
  eq(P.isfile(umlaut), true, "a name with umlauts exists")
  eq(P.size(umlaut), 3, "and has its size")
  eq(P.basename(umlaut), '\xE4rger\xFF.txt', "basename keeps the bytes")
  local list = P.list(base .. '/*.txt')
  eq(#list, 1, "listed")
  eq(list[1], umlaut, "listed with its own bytes")
  eq(P.list(base .. '/\xC4RGER*')[1], umlaut, "matched ignoring the umlaut's case")
  eq(P.listinfo(base .. '/*')[1].name, '\xE4rger\xFF.txt', "listinfo name")
  eq(P.rename(umlaut, base .. '/\xF6.txt'), true, "renamed to another umlaut")
  eq(P.isfile(base .. '/\xF6.txt'), true, "the new name exists")

  -- every byte is a character here, 0x81 (unassigned in the code page) included: the
  -- name reaches the system unchanged and is never taken for a look-alike
  write(base .. '/x\x81y', 'unassigned')
  write(base .. '/x?y', 'lookalike')
  eq(P.isfile(base .. '/x\x81y'), true, "a name with an unassigned byte exists")
  eq(P.remove(base .. '/x\x81y'), true, "and can be removed")
  eq(P.exists(base .. '/x\x81y'), false, "removed")
  eq(P.isfile(base .. '/x?y'), true, "the look-alike is untouched")
end
local ok, err = xpcall(main, debug.traceback)
os.execute("rm -rf '" .. base .. "'")
assert(ok, err)
