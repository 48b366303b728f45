-- Shared by the os.path script tests: an equality check with a readable message, and
-- whole files written and read byte for byte.
local files = {}

-- Asserts actual == expected; what names the check in the message.
function files.eq(actual, expected, what)
  assert(actual == expected, what .. ": expected " .. string.format('%q', tostring(expected)) ..
         ", got " .. string.format('%q', tostring(actual)))
end

-- Writes content ("hello" when none is given) as the whole file.
function files.write(name, content)
  local file = assert(io.open(name, 'wb'))
  file:write(content or 'hello')
  file:close()
end

-- The whole file, or nil when it cannot be opened.
function files.read(name)
  local file = io.open(name, 'rb')
  if not file then return nil end
  local content = file:read('a')
  file:close()
  return content
end

return files
