Pipe mode and a command file together. The argument words of the
application's commands are checked exactly; stop and abort without a
learning process are information, not errors.
== args -p cmds
== file cmds
load something x
load Pattern x
save nothing
create net my.net
create net -rx
create net -r
create net -r0x1f my.net
create net -r-5
create network -r5
run fast
stop
abort
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> load something x
[Error]
Invalid argument 'something'. Type 'help load' for more information.
[end]
korvalin> load Pattern x
[Error]
Invalid argument 'Pattern'. Type 'help load' for more information.
[end]
korvalin> save nothing
[Error]
Invalid argument 'nothing'. Type 'help save' for more information.
[end]
korvalin> create net my.net
[Error]
Invalid argument 'my.net'. Type 'help create' for more information.
[end]
korvalin> create net -rx
[Error]
Invalid argument '-rx'. Type 'help create' for more information.
[end]
korvalin> create net -r
[Error]
Invalid argument '-r'. Type 'help create' for more information.
[end]
korvalin> create net -r0x1f my.net
[Error]
Can't create net: No pattern file loaded!
[end]
korvalin> create net -r-5
[Error]
Can't create net: No pattern file loaded!
[end]
korvalin> create network -r5
[Error]
Invalid argument 'network'. Type 'help create' for more information.
[end]
korvalin> run fast
[Error]
Invalid argument 'fast'. Type 'help run' for more information.
[end]
korvalin> stop
[Information]
 Can't 'stop'. No learning process is being run.
[end]
korvalin> abort
[Information]
 Can't 'abort'. No learning process is being run.
[end]
