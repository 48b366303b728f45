-- os.shellexecute, os.sleep and os.ticks.

local function raises(f, what, ...)
  local ok, err = pcall(f)
  assert(not ok, what .. ": no error")
  for _, part in ipairs({...}) do
    assert(string.find(err, part, 1, true), what .. ": " .. tostring(err))
  end
end

-- The content of a file once it exists; nil after a minute without it.
local function waitForFile(path)
  local start = os.ticks()
  repeat
    local file = io.open(path, 'rb')
    if file then
      local content = file:read('a')
      file:close()
      return content
    end
    os.sleep(10)
  until os.ticks() - start > 60000
  return nil
end

-- The show constants and the path table sit beside the functions.
assert(os.SHOWNA == 8 and os.SHOWDEFAULT == 10 and os.SHOWNORMAL == 1)
assert(type(os.shellexecute) == 'function' and type(os.sleep) == 'function' and
       type(os.ticks) == 'function')

-- ticks: an integer millisecond count that goes forward. Only lower bounds on
-- waits are checked: a sleep lasts at least its time, but a busy machine may
-- take any time longer.
local first = os.ticks()
assert(math.type(first) == 'integer' and first > 0, "ticks: " .. tostring(first))
os.sleep(30)
local second = os.ticks()
assert(second - first >= 30, "ticks after 30 ms: " .. (second - first))
assert(select('#', os.ticks()) == 1)

-- sleep: nothing to wait for at zero or below, no results (a negative count
-- taken as unsigned would wait for weeks: the test's time limit catches that)
assert(select('#', os.sleep(0)) == 0)
assert(select('#', os.sleep(-5)) == 0)
os.sleep(math.mininteger)
os.sleep('0')
-- only the low 32 bits count: 2^32 + 20 waits 20 ms
local before = os.ticks()
os.sleep(4294967296 + 20)
local waited = os.ticks() - before
assert(waited >= 20, "low 32 bits: " .. waited)

raises(function() os.sleep(1.5) end, "sleep(1.5)", "bad argument #1",
       "number has no integer representation")
raises(function() os.sleep() end, "sleep()", "bad argument #1", "number expected")
raises(function() os.sleep('x') end, "sleep('x')", "bad argument #1", "number expected")
raises(function() os.sleep({}) end, "sleep({})", "bad argument #1")

-- shellexecute: a launch that happened is true, anything else false
assert(os.shellexecute('', '/no/such/program') == false)
assert(os.shellexecute('open', '/no/such/program') == false)
assert(os.shellexecute('explore', '/no/such/directory') == false)
assert(os.shellexecute('open', 'no-such-program-along-path') == false)
assert(os.shellexecute('', '/bin/true') == true)
assert(os.shellexecute('open', '/bin/true') == true)
assert(os.shellexecute('open', 'true') == true, "found along PATH")
assert(os.shellexecute('open', '/bin/true', '', '', os.SHOWMINIMIZED) == true)
for _, operation in ipairs({'print', 'edit', 'runas', 'properties', 'openas'}) do
  assert(os.shellexecute(operation, '/bin/true') == false, operation)
end
assert(select('#', os.shellexecute('', '/bin/true')) == 1)
assert(os.shellexecute('', '/bin/true', '', '/no/such/directory') == false)

-- parameters split like a shell command line, working directory as given
local dir = os.tmpname()
os.remove(dir)
assert(os.execute("mkdir '" .. dir .. "'"))
assert(os.shellexecute('open', '/bin/sh',
                       [[-c 'printf "[%s]" "$PWD" "$@" > marker.tmp && mv marker.tmp marker' sh 'a b' "c d" e]],
                       dir) == true)
local marker = waitForFile(dir .. '/marker')
assert(marker == '[' .. dir .. '][a b][c d][e]', "marker: " .. tostring(marker))
os.remove(dir .. '/marker')
assert(os.remove(dir))

raises(function() os.shellexecute('open') end, "no file", "bad argument #2")
raises(function() os.shellexecute() end, "no operation", "bad argument #1")
raises(function() os.shellexecute({}, '/bin/true') end, "table operation", "bad argument #1")
raises(function() os.shellexecute('', '/bin/true', {}) end, "table parameters", "bad argument #3")
raises(function() os.shellexecute('', '/bin/true', '', {}) end, "table directory",
       "bad argument #4")
raises(function() os.shellexecute('', '/bin/true', '', '', 'x') end, "text show",
       "bad argument #5")
raises(function() os.shellexecute('', '/bin/true', '', '', 1.5) end, "float show",
       "bad argument #5")
