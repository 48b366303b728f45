-- Shared by the script tests: compare a returned list with the expected one.
local lists = {}

-- The list written out with every item quoted, for messages.
function lists.show(t)
  local parts = {}
  for i = 1, #t do parts[i] = string.format('%q', t[i]) end
  return '{' .. table.concat(parts, ', ') .. '}'
end

-- Asserts that actual is a sequence, without holes or extra keys, equal to expected.
function lists.check(actual, expected, what)
  assert(type(actual) == 'table', what .. ": no table")
  assert(lists.show(actual) == lists.show(expected),
         what .. ": expected " .. lists.show(expected) .. ", got " .. lists.show(actual))
  local count = 0
  for _ in pairs(actual) do count = count + 1 end
  assert(count == #expected, what .. ": " .. count .. " keys")
end

return lists
