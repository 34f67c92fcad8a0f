' sub=0 function=1 get=0 let=0 set=0 declares=0 events=0 lloc=20 statements=24 cc=9 maxcc=9 longest=Loops/20 ; Loops kind=Function line=2 span=20 code=20 lloc=20 statements=24 cc=9 cc2=11 depth=4
Function Loops(ByVal n As Long) As Long
    Dim i As Long, j As Long, v As Variant
    Do While n > 0 And n < 100: n = n - 1: Loop
    For i = 1 To 3
        For j = 1 To 3
            If i = j Then
                Do
                    n = n + 1
                Loop Until n > 5 Or n = 0
            ElseIf i > j Then
                While n < 3: n = n + 1: Wend
            Else
                Loops = n
            End If
    Next j, i
    For Each v In Array(1, 2)
        With v
        End With
    Next
End Function
