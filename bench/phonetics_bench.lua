-- Throughput of the phonetic and distance functions of the string library over a
-- word list, one word per line, in words per second. A loop that only calls
-- string.upper on the same words shows the floor of the call overhead.
--
--   build/redevuvo bench/phonetics_bench.lua /i /usr/share/dict/ngerman /o /dev/null

local words = {}
PWL.ForEachLine(function(line)
  words[#words + 1] = line
  return line
end)
assert(#words > 0, "the input holds no words")

local function measure(name, body)
  local rounds = 3
  local best = math.huge
  for _ = 1, rounds do
    local start = os.clock()
    body()
    best = math.min(best, os.clock() - start)
  end
  local rate = best > 0 and #words / best or math.huge
  print(string.format("%-24s %10.0f words/s  (%.3f s for %d words, best of %d)", name, rate,
                      best, #words, rounds))
end

local upper, cologne, metaphone = string.upper, string.colognephonetic, string.metaphone
local phonetic, levenshtein = string.phonetic, string.levenshtein

print(string.format("%d words, code page locale %s", #words,
                    os.getenv("LC_ALL") or os.getenv("LANG") or "C"))
measure("string.upper (floor)", function()
  for i = 1, #words do upper(words[i]) end
end)
measure("colognephonetic", function()
  for i = 1, #words do cologne(words[i]) end
end)
measure("metaphone", function()
  for i = 1, #words do metaphone(words[i]) end
end)
measure("phonetic (first rules)", function()
  for i = 1, #words do phonetic(words[i]) end
end)
measure("phonetic (second rules)", function()
  for i = 1, #words do phonetic(words[i], false) end
end)
-- each word against its neighbour in the list: similar words of similar length
measure("levenshtein (pairs)", function()
  local previous = words[#words]
  for i = 1, #words do
    levenshtein(words[i], previous)
    previous = words[i]
  end
end)

-- two long texts: the distance keeps two rows, so time grows with the product of the
-- lengths and memory only with the shorter one
local longA = string.rep("abcdefghij", 1000)
local longB = string.rep("abcdefghiX", 1000)
local start = os.clock()
local distance = levenshtein(longA, longB)
print(string.format("levenshtein of two 10,000-character texts: %d in %.3f s", distance,
                    os.clock() - start))
