# The program's command line under Windows: standard input filtered by a command
# string, the usage, a script found beside its input with a backslash path, options
# in either case and with a dash, and the usage errors' exit code.
set(sample ${CMAKE_CURRENT_SOURCE_DIR}/data/three_lines.txt)
add_cli_case(command_string_filters_standard_input
             ARGS /c "PWL.ForEachLine(function(l) return l:upper() end)" INPUT ${sample}
             RESULT 0 STDOUT "^ERSTE\r?\nZWEITE\r?\nDRITTE\r?\n$" STDERR "STDIN")
add_cli_case(usage_on_question_mark ARGS /? RESULT 1 STDOUT "^$" STDERR "Aufruf:\r\n")
# Messages reach a redirected standard error in the OEM code page: the "ö" of
# "möglich" is byte 0x94 in both code pages Wine picks for German (437 and 850).
add_cli_case(messages_in_the_oem_code_page
             ARGS examples/number_lines.pwl /c "x = 1" RESULT 1 STDOUT "^$"
             STDERR_HEX "6d94676c69636821")
add_cli_case(script_with_backslash_input_path
             ARGS examples/number_lines.pwl /i "examples\\sample.txt"
             RESULT 0 STDOUT "^ +1  Erste Zeile\r?\n" STDERR "examples.sample.txt")
add_cli_case(options_with_dash_and_upper_case
             ARGS -C "PWL.ForEachLine(function(l) return l:lower() end)" INPUT ${sample}
             RESULT 0 STDOUT "^erste\r?\nzweite" STDERR "")
add_cli_case(missing_input_file_is_an_error
             ARGS /c "x = 1" /i "Z:\\no\\such\\file.txt" RESULT 1 STDOUT "^$" STDERR ".")
add_cli_case(failing_script_gives_two
             ARGS /c "error('stop')" INPUT ${sample} RESULT 2 STDOUT "" STDERR "stop")
# print writes the script's bytes as they are (the ANSI code page, no OEM
# conversion), each line ended with CR LF: "\xF8" is "ø" in 1252 and would be 0x9B in 850.
add_cli_case(print_output_in_the_ansi_code_page
             ARGS /c "print(string.char(0xF8))" INPUT ${sample} RESULT 0 STDERR_HEX "0af80d0a")
# A bare script name not in the current directory or beside the program is looked
# up along PATH, whose entries are separated by ";": Wine puts WINEPATH in front of
# its own entries (C:\windows\system32;C:\windows;...).
windows_path(examples ${CMAKE_SOURCE_DIR}/examples)
add_cli_case(script_found_along_path ARGS number_lines.pwl INPUT ${sample} WINEPATH ${examples}
             RESULT 0 STDOUT "^ +1  Erste\r?\n" STDERR "")
