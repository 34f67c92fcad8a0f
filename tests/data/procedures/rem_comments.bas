' sub=0 function=1 get=0 let=0 set=0 declares=0 events=0 lloc=5 statements=4 cc=1 maxcc=1 longest=Notes/9 ; Notes kind=Function line=2 span=9 code=8 lloc=5 statements=4 cc=1 cc2=1 depth=0
Public Function Notes() As Long
    Rem a whole comment line
    Notes = 1: Rem the rest is a comment: Notes = 2
    ' a comment that goes on _
      Notes = 3 this is still comment _
      and so is this
    Remark = 4
Done: Rem after a label
End Function
