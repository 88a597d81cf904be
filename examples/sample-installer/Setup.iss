[InstallShield Silent]
Version=v5.00.000
File=Response File
[File Transfer]
OverwriteReadOnly=YesToAll
[Application]
Name=Tessary
Version=5.0
Company=Vontu
Lang=0009
[DlgOrder]
Count=0
