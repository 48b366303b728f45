-- The script's environment: the PWL table, the settings and the host libraries.
local names = {}
for k, v in pairs(PWL) do
  assert(type(v) == 'function', k)
  names[#names + 1] = k
end
table.sort(names)
assert(table.concat(names, ',') == 'CharCount,CreateBak,ForEachChar,ForEachLine,ForEachToken,' ..
  'GetChar,GetLine,InPlace,InputFile,LineCount,OutputFile,ScriptFile,SortLines,SubDirs',
  table.concat(names, ','))

-- settings as given on the command line (ctest runs: script /i sample.txt /o out)
assert(PWL.InputFile():find('[/\\]tests[/\\]data[/\\]sample%.txt$'), PWL.InputFile())
assert(PWL.OutputFile():find('script_out_'), PWL.OutputFile())
assert(PWL.ScriptFile():find('pwl_environment%.lua$'), PWL.ScriptFile())
assert(PWL.SubDirs() == false and PWL.InPlace() == false and PWL.CreateBak() == false)

-- host libraries are added to the standard tables, nothing else becomes global
assert(type(os.path) == 'table')
assert(os.path.DIR_SEP == '/' and os.path.PATH_SEP == ':' or
  os.path.DIR_SEP == '\\' and os.path.PATH_SEP == ';') -- Linux or Windows
assert(path == nil)
assert(math.type(os.SHOWNORMAL) == 'integer' and os.SHOWNA == 8 and os.SHOWDEFAULT == 10)
assert(type(string.format) == 'function' and type(table.concat) == 'function')
assert(type(bit32.bxor) == 'function' and type(utf8.len) == 'function')
assert(type(math.constrain) == 'function' and type(math.map) == 'function')

-- iteration functions do not nest; the outer one carries on with its own data
local inner
PWL.ForEachLine(function(line, n)
  if n == 1 then
    local ok, err = pcall(PWL.ForEachChar, function(c) return 'X' end)
    inner = err
  end
  return line
end)
assert(inner and inner:find('cannot be called from inside a PWL callback'), inner)
assert(PWL.LineCount() == 3 and PWL.GetLine(1) == 'first line')
